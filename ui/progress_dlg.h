#pragma once
#include <QDialog>
#include <QPointer>
#include <memory>

#include "support/progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The window of one run: Cancel, Escape and the close box ask for a stop, Enter does nothing.
class CProgressWindow : public QDialog {
    Q_OBJECT
public:
    CProgressWindow(CProgress& progress, const CProgressState& state);

    void Show(const CProgressState& state);

    void reject() override;

private:
    CProgress& m_progress;
    QLabel* m_label;
    QLabel* m_count;
    QLabel* m_unit;
    QLabel* m_percent;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

// Progress of the desktop program: a progress window over the main window, which is disabled
// while the window is shown. Pending events are dispatched, and the window redrawn, only when
// the progress refreshes.
class CProgressDlg : public CProgress {
public:
    explicit CProgressDlg(QWidget* owner) : m_owner(owner) {}
    ~CProgressDlg() override;

    // The window while a run shows it, else none.
    QDialog* Window() const { return m_window.get(); }

protected:
    bool OnStart(const CProgressState& state) override;
    void OnRefresh(const CProgressState& state) override;
    void OnClose() override;

private:
    void EnableOwner();

    QPointer<QWidget> m_owner;
    bool m_ownerDisabled = false;
    std::unique_ptr<CProgressWindow> m_window;
};
