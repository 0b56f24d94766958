#pragma once
#include <QDialog>
#include <QFileSystemWatcher>
#include <QTimer>

#include "app/preview_model.h"
#include "ui/preview_table_model.h"

class CAppState;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QTableView;

// The preview window: the records of the main window's slot as Binary => Text would convert
// them, the bytes of the selected record with the selected cell's item highlighted, and a status
// line. It follows the main window's slot and loads, and reloads its own copy of the target
// whenever one of the target's files changes on disk. Modeless and resizable; its place is
// remembered in the settings file.
class CPreviewDlg : public QDialog {
    Q_OBJECT
public:
    CPreviewDlg(CAppState& app, QWidget* parent);
    ~CPreviewDlg() override;

    // Shows what the source names, loading it afresh when it differs from what is shown.
    void Follow(const CPreviewSource& source);

    CPreviewModel& Model() { return m_preview; }
    QTableView* Table() const { return m_table; }
    QPlainTextEdit* Bytes() const { return m_bytes; }
    QLabel* Status() const { return m_status; }
    // The failure text shown in place of the table; empty while the table is shown.
    QString FailureShown() const;
    QSpinBox* FirstRecord() const { return m_first; }

private:
    // Loads the target again, keeping the rows in view.
    void Reload();
    void ShowPreview();
    void ShowSelection();
    void WatchFiles();
    void RestoreGeometry();

    CAppState& m_app;
    CPreviewModel m_preview;
    CPreviewTableModel m_model;
    QStackedWidget* m_pages;
    QTableView* m_table;
    QLabel* m_failure;
    QSpinBox* m_first;
    QPlainTextEdit* m_bytes;
    QLabel* m_status;
    QFileSystemWatcher m_watcher;
    QTimer m_changes; // gathers the notices of one save into one reload
};
