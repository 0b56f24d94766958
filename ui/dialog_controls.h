#pragma once
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// Static text that reports a click of the left mouse button.
class CLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit CLinkLabel(QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A push button whose caption wraps at word boundaries onto as many lines as it needs.
class CWrappingButton : public QPushButton {
    Q_OBJECT
public:
    explicit CWrappingButton(QWidget* parent) : QPushButton(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A radio button whose caption wraps onto several lines from the top; the whole button
// takes clicks.
class CWrappingRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit CWrappingRadioButton(QWidget* parent) : QRadioButton(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};
