#include "ui/morvane_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>

#include "ui/about_dlg.h"
#include "ui/dialog_controls.h"
#include "ui/dialog_units.h"
#include "ui/program_icon.h"
#include "ui/qt_text.h"

namespace {
using K = ControlKind;

// The first local file among the dropped items, or the empty text.
QString FirstLocalFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return QString();
}

QLabel* NewLabel(QWidget* parent, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}
}

CMorvaneDlg::CMorvaneDlg(CAppState& app, IShellOpener* shell, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_progress(this),
      m_actions(m_progress,
                [](bool busy) {
                    if (busy)
                        QApplication::setOverrideCursor(Qt::WaitCursor);
                    else
                        QApplication::restoreOverrideCursor();
                }),
      m_model(app, m_progress, shell ? *shell : m_desktop) {
    setObjectName(QStringLiteral("102"));
    setWindowTitle(QStringLiteral("Morvane"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    setFont(DialogFont());
    CreateControls();

    // The checks' items come first on the context menu, the about item after a separator. Their
    // captions are the model's, shown with the controls'.
    for (const int command : {idCheckBinaryToTextToBinary, idCheckTextToBinary}) {
        auto* action = new QAction(this);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, command] { Run([this, command] { m_model.Command(command); }); });
        m_menuActions[command] = action;
    }
    auto* preview = new QAction(this);
    addAction(preview);
    connect(preview, &QAction::triggered, this, &CMorvaneDlg::ShowPreview);
    m_menuActions[idPreview] = preview;
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    m_about = new QAction(QStringLiteral("Morvane Ver. (&A)..."), this);
    m_about->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    m_about->setShortcutContext(Qt::WindowShortcut);
    addAction(m_about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_about, &QAction::triggered, this, &CMorvaneDlg::ShowAbout);

    m_model.m_waitCursor = [this](bool busy) { m_actions.WaitCursor(busy); };
    m_model.m_repaint = [this] {
        ShowModel();
        repaint();
    };
    Run([this] { m_model.Initialize(); });
    RestoreWindowPosition();
}

CMorvaneDlg::~CMorvaneDlg() {
    // The window goes away whatever happens here: a failed write only loses the position.
    try {
        m_model.SavePosition(x(), y());
    } catch (...) {
    }
}

QAction* CMorvaneDlg::MenuAction(int commandId) const {
    const auto found = m_menuActions.find(commandId);
    return found == m_menuActions.end() ? nullptr : found->second;
}

QWidget* CMorvaneDlg::Control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second.second;
}

void CMorvaneDlg::reject() {
    if (!m_actions.IsRunning()) QDialog::reject();
}

void CMorvaneDlg::CreateControls() {
    const CDialogUnits units(font());
    setFixedSize(units.X(kMainWindowWidth), units.Y(kMainWindowHeight));
    for (const CControlLayout& layout : MainWindowLayout()) {
        QWidget* control = CreateControl(layout);
        control->setObjectName(QString::number(layout.id));
        control->setGeometry(units.Rect(layout.x, layout.y, layout.width, layout.height));
        m_controls[layout.id] = {layout.kind, control};
        Connect(layout, control);
    }
}

QWidget* CMorvaneDlg::CreateControl(const CControlLayout& layout) {
    switch (layout.kind) {
    case K::frame: return new QGroupBox(this);
    case K::slotButton: return new CWrappingRadioButton(this);
    case K::labelPanel:
    case K::valuePanel: {
        QLabel* panel = NewLabel(this, Qt::AlignTop | (layout.kind == K::valuePanel ? Qt::AlignRight : Qt::AlignLeft));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return panel;
    }
    case K::text: {
        QLabel* text = NewLabel(this, Qt::AlignLeft | Qt::AlignTop);
        text->setWordWrap(true);
        return text;
    }
    case K::link: {
        auto* link = new CLinkLabel(this);
        link->setTextFormat(Qt::PlainText);
        link->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return link;
    }
    case K::button: return new QPushButton(this);
    case K::multiLineButton: return new CWrappingButton(this);
    case K::defaultButton: {
        auto* button = new CWrappingButton(this);
        button->setDefault(true);
        return button;
    }
    case K::pathField: {
        auto* field = new QLineEdit(this);
        field->setAcceptDrops(true);
        field->installEventFilter(this);
        return field;
    }
    case K::readOnlyField: {
        auto* field = new QLineEdit(this);
        field->setReadOnly(true);
        return field;
    }
    case K::option: return new QCheckBox(this);
    case K::messageArea: break;
    }
    auto* area = new QPlainTextEdit(this);
    area->setReadOnly(true);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->setTabChangesFocus(true);
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    area->setFont(bold);
    return area;
}

void CMorvaneDlg::Connect(const CControlLayout& layout, QWidget* control) {
    const int id = layout.id;
    switch (layout.kind) {
    case K::slotButton:
    case K::button:
    case K::multiLineButton:
    case K::defaultButton:
        connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this,
                [this, id] { Run([this, id] { m_model.Command(id); }); });
        break;
    case K::link:
        connect(static_cast<CLinkLabel*>(control), &CLinkLabel::clicked, this,
                [this, id] { Run([this, id] { m_model.Command(id); }); });
        break;
    case K::option:
        connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this,
                [this, id](bool checked) { Run([this, id, checked] { m_model.SetChecked(id, checked); }); });
        break;
    case K::pathField:
        connect(static_cast<QLineEdit*>(control), &QLineEdit::textEdited, this,
                [this, id](const QString& text) { m_model.EditField(id, ToSystem(text)); });
        break;
    default: break;
    }
}

bool CMorvaneDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QDialog::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    // Text dragged into a field is the field's own business; dropped files are ours.
    if (!drop->mimeData() || !drop->mimeData()->hasUrls()) return QDialog::eventFilter(watched, event);
    const QString file = FirstLocalFile(drop->mimeData());
    if (file.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // Handled once the drop is over, so that no message box opens inside the drag.
        const int id = watched->objectName().toInt();
        const std::string path = ToSystem(file);
        QMetaObject::invokeMethod(
            this, [this, id, path] { Run([this, id, path] { m_model.DropFile(id, path); }); }, Qt::QueuedConnection);
    }
    return true;
}

void CMorvaneDlg::OpenFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    QMetaObject::invokeMethod(
        this, [this, paths] { Run([this, paths] { m_model.OpenFiles(paths); }); }, Qt::QueuedConnection);
}

void CMorvaneDlg::Run(const std::function<void()>& action) {
    if (!m_actions.Run(action)) return;
    ShowModel();
    // The preview follows the slot, and every load of a target or list.
    if (m_preview && m_preview->isVisible()) m_preview->Follow(m_model.PreviewSource());
}

void CMorvaneDlg::ShowModel() {
    for (const auto& [id, entry] : m_controls) {
        const auto [kind, control] = entry;
        ShowText(id, kind, control);
        control->setEnabled(m_model.IsEnabled(id));
        if (kind == K::option || (kind == K::slotButton && m_model.IsChecked(id)))
            static_cast<QAbstractButton*>(control)->setChecked(m_model.IsChecked(id));
    }
    for (const auto& [command, action] : m_menuActions) action->setText(DisplayText(m_model.Text(command)));
    // The info panel's fixed layout stays; the declared encodings are shown on hovering over it.
    const QString toolTip = DisplayText(m_model.InfoToolTip());
    for (int id : {idLabelColumn, idValueColumn})
        if (QWidget* panel = Control(id)) panel->setToolTip(toolTip);
    if (QWidget* field = Control(m_model.TakeFocusRequest())) {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    }
}

void CMorvaneDlg::ShowText(int id, ControlKind kind, QWidget* control) {
    const QString text = DisplayText(m_model.Text(id));
    switch (kind) {
    case K::frame: static_cast<QGroupBox*>(control)->setTitle(text); break;
    case K::slotButton:
    case K::button:
    case K::multiLineButton:
    case K::defaultButton:
    case K::option: {
        auto* button = static_cast<QAbstractButton*>(control);
        if (button->text() != text) button->setText(text);
        break;
    }
    case K::labelPanel:
    case K::valuePanel:
    case K::text:
    case K::link: {
        auto* label = static_cast<QLabel*>(control);
        if (label->text() != text) label->setText(text);
        break;
    }
    case K::pathField:
    case K::readOnlyField: {
        auto* field = static_cast<QLineEdit*>(control);
        if (field->text() != text) field->setText(text);
        break;
    }
    case K::messageArea: {
        auto* area = static_cast<QPlainTextEdit*>(control);
        if (area->toPlainText() != text) area->setPlainText(text);
        break;
    }
    }
}

void CMorvaneDlg::RestoreWindowPosition() {
    if (m_app.m_positionValidity != 1) return;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const CWindowPlacement placement =
        m_model.RestorePosition(width(), height(), available.right() + 1, available.bottom() + 1);
    move(placement.left, placement.top);
}

void CMorvaneDlg::ShowPreview() {
    if (!m_preview) m_preview = std::make_unique<CPreviewDlg>(m_app, this);
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
    m_preview->Follow(m_model.PreviewSource());
}

void CMorvaneDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}
