#pragma once
#include <functional>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "app/preview_model.h"
#include "platform/system.h"

class CAppState;

// The preview window of the native program: the records of the main window's slot in a virtual
// list view, read only as the list asks for them, the selected record's bytes with the clicked
// cell's item selected, and a status line. It follows the main window's slot and loads, and
// reloads its own copy of the target when one of the target's files changes on disk. Modeless,
// resizable, owned by the main window; closing hides it, and its place is remembered.
class CPreviewWindow {
public:
    // While paused() holds, as while the main window runs an action, changed files wait: the
    // main window has the window follow once the action is done.
    CPreviewWindow(CAppState& app, HWND owner, std::function<bool()> paused);
    ~CPreviewWindow();
    CPreviewWindow(const CPreviewWindow&) = delete;
    CPreviewWindow& operator=(const CPreviewWindow&) = delete;

    // Shows the window in front, creating it the first time.
    void Show();
    bool IsShown() const { return m_window && IsWindowVisible(m_window); }
    // Shows what the source names, loading it afresh when it differs from what is shown.
    void Follow(const CPreviewSource& source);
    // Reloads when one of the watched files changed since the last look: what the timer does.
    void CheckFiles();

    CPreviewModel& Model() { return m_preview; }
    HWND Handle() const { return m_window; }
    HWND List() const { return GetDlgItem(m_window, kListId); }
    HWND Failure() const { return GetDlgItem(m_window, kFailureId); }
    HWND Bytes() const { return GetDlgItem(m_window, kBytesId); }
    HWND Status() const { return GetDlgItem(m_window, kStatusId); }

    static constexpr int kListId = 1, kFailureId = 2, kBytesId = 3, kStatusId = 4;
    static constexpr UINT_PTR kCheckTimer = 1;
    // The list view takes no more rows than this.
    static constexpr std::uint32_t kMaxRows = 100000000;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    LRESULT OnNotify(const NMHDR& header);
    void OnSize();
    void OnDestroy();
    // Loads the target again, keeping the selection.
    void Reload();
    void ShowPreview();
    void ShowColumns();
    void ShowSelection();
    void GetDisplayText(NMLVDISPINFOA& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    int SelectedRow() const;
    void TakeStamps();

    CAppState& m_app;
    HWND m_owner;
    std::function<bool()> m_paused;
    CPreviewModel m_preview;
    HWND m_window = nullptr;
    HFONT m_fixedFont = nullptr;
    int m_column = -1; // the clicked cell's column of the records, or none
    std::vector<std::pair<std::string, CFileStamp>> m_stamps;
};
