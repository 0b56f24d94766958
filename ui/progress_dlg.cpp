#include "ui/progress_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include "app/progress_window_layout.h"
#include "ui/dialog_units.h"
#include "ui/qt_text.h"

namespace {
void Place(QWidget* control, const CDialogUnits& units, const CProgressControlLayout& layout) {
    control->setObjectName(QString::number(layout.id));
    control->setGeometry(units.Rect(layout.x, layout.y, layout.width, layout.height));
}

QLabel* AddText(QWidget* window, const CDialogUnits& units, const CProgressControlLayout& layout) {
    auto* label = new QLabel(window);
    label->setTextFormat(Qt::PlainText);
    Place(label, units, layout);
    return label;
}
}

CProgressWindow::CProgressWindow(CProgress& progress, const CProgressState& state) : m_progress(progress) {
    setObjectName(QStringLiteral("103"));
    setWindowTitle(QStringLiteral("Converting ..."));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const QFont font = DialogFont();
    setFont(font);
    const CDialogUnits units(font);
    setFixedSize(units.X(kProgressWindowWidth), units.Y(kProgressWindowHeight));

    m_label = AddText(this, units, kProgressLabel);
    m_count = AddText(this, units, kProgressCount);
    m_unit = AddText(this, units, kProgressUnit);
    m_percent = AddText(this, units, kProgressPercent);
    m_bar = new QProgressBar(this);
    Place(m_bar, units, kProgressBar);
    m_bar->setTextVisible(false);
    m_cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Place(m_cancel, units, kProgressCancel);
    // Enter must not press Cancel: only a click, Space, Escape or the close box ask for a stop.
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressWindow::reject);

    m_label->setText(FromSystem(state.label));
    m_bar->setRange(state.barLow, state.barHigh);
    Show(state);
}

void CProgressWindow::Show(const CProgressState& state) {
    m_count->setText(FromSystem(ProgressCountText(state)));
    m_unit->setText(FromSystem(ProgressUnitText(state)));
    const QString percent = FromSystem(ProgressPercentText(state));
    if (m_percent->text() != percent) m_percent->setText(percent);
    m_bar->setValue(state.barPosition);
}

void CProgressWindow::reject() { m_progress.RequestStop(); }

CProgressDlg::~CProgressDlg() {
    m_window.reset();
    EnableOwner();
}

bool CProgressDlg::OnStart(const CProgressState& state) {
    m_window = std::make_unique<CProgressWindow>(*this, state);
    if (m_owner) {
        QWidget* owner = m_owner->window();
        const QRect area = owner->frameGeometry();
        m_window->move(area.center() - m_window->rect().center());
        // Stacked above the owner by the window system, without being its child: a disabled
        // parent would disable the progress window too.
        m_window->winId();
        if (owner->windowHandle()) m_window->windowHandle()->setTransientParent(owner->windowHandle());
        if (owner->isEnabled()) {
            owner->setEnabled(false);
            m_ownerDisabled = true;
        }
    }
    m_window->show();
    QCoreApplication::processEvents();
    return true;
}

void CProgressDlg::OnRefresh(const CProgressState& state) {
    if (!m_window) return;
    m_window->Show(state);
    QCoreApplication::processEvents();
}

void CProgressDlg::OnClose() {
    EnableOwner();
    m_window.reset();
}

void CProgressDlg::EnableOwner() {
    if (!m_ownerDisabled) return;
    m_ownerDisabled = false;
    if (m_owner) m_owner->window()->setEnabled(true);
}
