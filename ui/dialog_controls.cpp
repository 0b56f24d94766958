#include "ui/dialog_controls.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

CLinkLabel::CLinkLabel(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void CLinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CWrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(), isEnabled(),
                         caption, QPalette::ButtonText);
}

void CWrappingRadioButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    // The indicator stands beside the first line of the caption.
    const int lineHeight = fontMetrics().height();
    const int indicatorHeight = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);
    const int firstLine = qMax(lineHeight, indicatorHeight);
    QStyleOptionButton indicator = option;
    indicator.rect.setHeight(firstLine);
    painter.drawControl(QStyle::CE_RadioButton, indicator);
    QRect area = style()->subElementRect(QStyle::SE_RadioButtonContents, &indicator, this);
    area.setTop((firstLine - lineHeight) / 2);
    area.setBottom(rect().bottom());
    painter.drawItemText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
                         isEnabled(), caption, QPalette::WindowText);
}

bool CWrappingRadioButton::hitButton(const QPoint& position) const { return rect().contains(position); }
