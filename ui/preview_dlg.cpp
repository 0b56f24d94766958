#include "ui/preview_dlg.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "ui/qt_text.h"

namespace {
constexpr int kBytesPerLine = 16;
constexpr int kOffsetColumns = 10; // "00000008  "

// The bytes as lines of 16, each after its file offset.
QString HexLines(const CPreviewRecord& record) {
    QString text;
    for (std::size_t i = 0; i < record.bytes.size(); i += kBytesPerLine) {
        if (i > 0) text += QLatin1Char('\n');
        text += QStringLiteral("%1  ").arg(record.position + i, 8, 16, QLatin1Char('0')).toUpper();
        for (std::size_t k = i; k < i + kBytesPerLine && k < record.bytes.size(); ++k) {
            if (k > i) text += QLatin1Char(' ');
            text += QStringLiteral("%1").arg(record.bytes[k], 2, 16, QLatin1Char('0')).toUpper();
        }
    }
    return text;
}
}

CPreviewDlg::CPreviewDlg(CAppState& app, QWidget* parent)
    : QDialog(parent), m_app(app), m_preview(app), m_model(m_preview, this) {
    setObjectName(QStringLiteral("preview"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setSizeGripEnabled(true);

    m_table = new QTableView;
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_failure = new QLabel;
    m_failure->setTextFormat(Qt::PlainText);
    m_failure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_failure->setWordWrap(true);
    m_failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pages = new QStackedWidget;
    m_pages->addWidget(m_table);
    m_pages->addWidget(m_failure);

    m_bytes = new QPlainTextEdit;
    m_bytes->setReadOnly(true);
    m_bytes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_bytes->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_pages);
    splitter->addWidget(m_bytes);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    // The table shows a window of records; the box moves it through files of any size.
    m_first = new QSpinBox;
    m_first->setMinimum(1);
    m_first->setAccelerated(true);
    m_status = new QLabel;
    m_status->setTextFormat(Qt::PlainText);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(new QLabel(QStringLiteral("From record")));
    bottom->addWidget(m_first);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(m_first, &QSpinBox::valueChanged, this, [this](int value) {
        m_model.Reset(static_cast<std::uint32_t>(value - 1));
        ShowSelection();
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { ShowSelection(); });
    // Editors save by replacing the file, which ends the watch of its path: the folders are
    // watched too, and each notice waits a moment for the rest of the save.
    m_changes.setSingleShot(true);
    m_changes.setInterval(200);
    connect(&m_changes, &QTimer::timeout, this, &CPreviewDlg::Reload);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_changes.start(); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_changes.start(); });
    RestoreGeometry();
}

CPreviewDlg::~CPreviewDlg() {
    const QRect frame = geometry();
    m_app.SavePreviewGeometry({frame.x(), frame.y(), frame.width(), frame.height()});
}

QString CPreviewDlg::FailureShown() const {
    return m_pages->currentWidget() == m_failure ? m_failure->text() : QString();
}

void CPreviewDlg::Follow(const CPreviewSource& source) {
    if (source == m_preview.Source() && !m_preview.Source().targetPath.empty()) return;
    m_preview.Open(source);
    m_first->setValue(1);
    ShowPreview();
}

void CPreviewDlg::Reload() {
    const std::uint32_t first = m_model.First();
    const QModelIndex current = m_table->currentIndex();
    m_preview.Reload();
    ShowPreview();
    if (m_preview.Failure().empty()) {
        m_model.Reset(first);
        if (current.isValid()) m_table->setCurrentIndex(m_model.index(current.row(), current.column()));
    }
}

void CPreviewDlg::ShowPreview() {
    setWindowTitle(QStringLiteral("Preview - ") + FromSystem(m_preview.Title()));
    const bool failed = !m_preview.Failure().empty();
    m_failure->setText(DisplayText(m_preview.Failure()));
    m_pages->setCurrentWidget(failed ? static_cast<QWidget*>(m_failure) : m_table);
    m_first->setMaximum(static_cast<int>(std::min<std::uint32_t>(std::max<std::uint32_t>(m_preview.RowCount(), 1), INT_MAX)));
    m_model.Reset(static_cast<std::uint32_t>(m_first->value() - 1));
    WatchFiles();
    ShowSelection();
}

void CPreviewDlg::ShowSelection() {
    const QModelIndex current = m_table->currentIndex();
    if (!m_preview.Failure().empty() || m_preview.RowCount() == 0) {
        m_bytes->clear();
        m_status->setText(m_preview.Failure().empty() ? QStringLiteral("0 records") : QString());
        return;
    }
    QString status = QStringLiteral("%1 records, %2 bytes each").arg(m_preview.RowCount()).arg(m_preview.RecordSize());
    if (!current.isValid()) {
        m_bytes->clear();
        m_status->setText(status);
        return;
    }
    const CPreviewRecord& record = m_preview.Row(m_model.PreviewRow(current.row()));
    status += QStringLiteral("; record %1 at offset %2 (0x%3)")
                  .arg(record.number)
                  .arg(record.position)
                  .arg(QString::number(record.position, 16).toUpper());
    m_status->setText(status);
    m_bytes->setPlainText(HexLines(record));

    // The bytes of the cell's item, highlighted line by line.
    QList<QTextEdit::ExtraSelection> selections;
    const auto& columns = m_preview.Columns();
    const auto column = static_cast<std::size_t>(current.column());
    if (column < columns.size() && !record.bytes.empty()) {
        const std::uint32_t first = columns[column].offset;
        const std::uint32_t last = std::min<std::uint32_t>(first + columns[column].length, record.bytes.size()) - 1;
        QTextCharFormat format;
        format.setBackground(palette().highlight());
        format.setForeground(palette().highlightedText());
        for (std::uint32_t line = first / kBytesPerLine; line <= last / kBytesPerLine; ++line) {
            const std::uint32_t from = std::max(first, line * kBytesPerLine) % kBytesPerLine;
            const std::uint32_t to = std::min(last, line * kBytesPerLine + kBytesPerLine - 1) % kBytesPerLine;
            QTextCursor cursor(m_bytes->document()->findBlockByNumber(static_cast<int>(line)));
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kOffsetColumns + 3 * static_cast<int>(from));
            cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 3 * static_cast<int>(to - from) + 2);
            selections.append({cursor, format});
        }
    }
    m_bytes->setExtraSelections(selections);
}

void CPreviewDlg::WatchFiles() {
    if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty()) m_watcher.removePaths(m_watcher.directories());
    QStringList files, folders;
    for (const std::string& path : m_preview.WatchedFiles()) {
        const QFileInfo file(FromSystem(path));
        if (file.exists()) files << file.absoluteFilePath();
        if (file.absoluteDir().exists()) folders << file.absolutePath();
    }
    folders.removeDuplicates();
    if (!files.isEmpty()) m_watcher.addPaths(files);
    if (!folders.isEmpty()) m_watcher.addPaths(folders);
}

void CPreviewDlg::RestoreGeometry() {
    const auto& [left, top, width, height] = m_app.m_previewGeometry;
    resize(width > 200 && height > 150 ? QSize(width, height) : QSize(720, 480));
    if (left == kPositionUnset || top == kPositionUnset) return;
    // A place off every screen, as after a change of screens, is not taken.
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(QRect(left, top, this->width(), this->height()))) {
            move(left, top);
            return;
        }
}
