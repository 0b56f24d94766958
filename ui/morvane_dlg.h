#pragma once
#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "app/main_window_model.h"
#include "app/user_actions.h"
#include "ui/preview_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/shell_opener.h"

class QAction;

// The main window: shows the state of the window model in Qt's controls and hands the
// user's actions to it. Every control's object name is its id, so that tests find it.
class CMorvaneDlg : public QDialog {
    Q_OBJECT
public:
    // Without a shell opener of its own the window opens files through the desktop.
    explicit CMorvaneDlg(CAppState& app, IShellOpener* shell = nullptr, QWidget* parent = nullptr);
    ~CMorvaneDlg() override;

    QWidget* Control(int id) const;
    CMainWindowModel& Model() { return m_model; }
    CProgressDlg& Progress() { return m_progress; }
    QAction* AboutAction() const { return m_about; }
    // The context menu's item of a menu command of the model.
    QAction* MenuAction(int commandId) const;

    // The preview window of the current slot, opened by the context menu's item; none before.
    CPreviewDlg* Preview() const { return m_preview.get(); }

    // The files the program was started with, taken once the window runs.
    void OpenFiles(const std::vector<std::string>& paths);

    // Escape and the close box; ignored while a command runs.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateControl(const CControlLayout& layout);
    void Connect(const CControlLayout& layout, QWidget* control);
    // Runs one action of the user to its end, then shows what it changed.
    void Run(const std::function<void()>& action);
    void ShowModel();
    void ShowText(int id, ControlKind kind, QWidget* control);
    void RestoreWindowPosition();
    void ShowAbout();
    void ShowPreview();

    CAppState& m_app;
    CDesktopShellOpener m_desktop;
    CProgressDlg m_progress;
    CUserActions m_actions;
    CMainWindowModel m_model;
    std::map<int, std::pair<ControlKind, QWidget*>> m_controls;
    QAction* m_about = nullptr;
    std::map<int, QAction*> m_menuActions; // by menu command
    std::unique_ptr<CPreviewDlg> m_preview;
};
