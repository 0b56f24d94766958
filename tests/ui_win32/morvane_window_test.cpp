#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <cstring>
#include <string>

#include "app/main_window_layout.h"
#include "tests/common/test_support.h"
#include "ui/win32/morvane_window.h"
#include "ui/win32/shell_execute_opener.h"
#include "ui/win32/win32_message_box.h"
#include "ui/win32/window_text.h"

namespace {
void InitControls() {
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

class MorvaneWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitControls();
        m_handle = m_window.Create();
        ASSERT_NE(m_handle, nullptr);
    }

    HWND Item(int id) const { return GetDlgItem(m_handle, id); }

    CTestEnvironment m_env;
    CAppState m_app;
    CMorvaneWindow m_window {m_app};
    HWND m_handle = nullptr;
};

// The window class and the distinguishing styles of each kind of control.
struct CKindLook {
    ControlKind kind;
    const char* windowClass;
    LONG style;
    LONG styleMask;
};
constexpr CKindLook kLooks[] = {
    {ControlKind::frame, "Button", BS_GROUPBOX, BS_TYPEMASK},
    {ControlKind::slotButton, "Button", BS_AUTORADIOBUTTON | BS_MULTILINE, BS_TYPEMASK | BS_MULTILINE},
    {ControlKind::labelPanel, "Static", SS_LEFTNOWORDWRAP | SS_SUNKEN, SS_TYPEMASK | SS_SUNKEN},
    {ControlKind::valuePanel, "Static", SS_RIGHT | SS_SUNKEN, SS_TYPEMASK | SS_SUNKEN},
    {ControlKind::text, "Static", SS_LEFT, SS_TYPEMASK | SS_NOTIFY},
    {ControlKind::link, "Static", SS_LEFT | SS_NOTIFY, SS_TYPEMASK | SS_NOTIFY},
    {ControlKind::button, "Button", BS_PUSHBUTTON, BS_TYPEMASK},
    {ControlKind::multiLineButton, "Button", BS_PUSHBUTTON | BS_MULTILINE, BS_TYPEMASK | BS_MULTILINE},
    {ControlKind::defaultButton, "Button", BS_DEFPUSHBUTTON | BS_MULTILINE, BS_TYPEMASK | BS_MULTILINE},
    {ControlKind::pathField, "Edit", 0, ES_READONLY | ES_MULTILINE},
    {ControlKind::readOnlyField, "Edit", ES_READONLY, ES_READONLY | ES_MULTILINE},
    {ControlKind::option, "Button", BS_AUTOCHECKBOX, BS_TYPEMASK},
    {ControlKind::messageArea, "Edit", ES_READONLY | ES_MULTILINE | WS_VSCROLL,
     ES_READONLY | ES_MULTILINE | WS_VSCROLL},
};

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Dropped files as the shell hands them over: one path, ANSI.
HDROP DropOf(const std::string& path) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
}

TEST_F(MorvaneWindowTest, TemplateHoldsEveryControlOfTheLayoutAtItsPlace) {
    EXPECT_EQ(WindowText(m_handle), "Morvane");
    RECT client;
    GetClientRect(m_handle, &client);
    RECT size {0, 0, kMainWindowWidth, kMainWindowHeight};
    MapDialogRect(m_handle, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    for (const CControlLayout& layout : MainWindowLayout()) {
        SCOPED_TRACE(layout.id);
        HWND control = Item(layout.id);
        ASSERT_NE(control, nullptr);
        // Each value in dialog units is mapped on its own, as the dialog manager does.
        RECT expected {layout.x, layout.y, layout.width, layout.height};
        MapDialogRect(m_handle, &expected);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, m_handle, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, expected.left);
        EXPECT_EQ(place.top, expected.top);
        EXPECT_EQ(place.right - place.left, expected.right);
        EXPECT_EQ(place.bottom - place.top, expected.bottom);
        for (const CKindLook& look : kLooks) {
            if (look.kind != layout.kind) continue;
            EXPECT_EQ(ClassOf(control), look.windowClass);
            EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & look.styleMask, look.style);
        }
    }
    EXPECT_EQ(LOWORD(SendMessageA(m_handle, DM_GETDEFID, 0, 0)), idBinaryToText);
}

TEST_F(MorvaneWindowTest, FontsAreTheDialogFontAndItsBoldForTheMessageArea) {
    LOGFONTW dialog {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageA(m_handle, WM_GETFONT, 0, 0)), sizeof dialog, &dialog);
    EXPECT_EQ(std::wstring(dialog.lfFaceName), L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
    LOGFONTW message {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageA(Item(idMessageArea), WM_GETFONT, 0, 0)), sizeof message, &message);
    EXPECT_EQ(std::wstring(message.lfFaceName), dialog.lfFaceName);
    EXPECT_EQ(message.lfHeight, dialog.lfHeight);
    EXPECT_EQ(message.lfWeight, FW_BOLD);
}

TEST_F(MorvaneWindowTest, ShowsTheModelAndOffersTheAboutItem) {
    CMainWindowModel& model = m_window.Model();
    for (const CControlLayout& layout : MainWindowLayout()) {
        SCOPED_TRACE(layout.id);
        const bool edit = layout.kind == ControlKind::pathField || layout.kind == ControlKind::readOnlyField ||
                          layout.kind == ControlKind::messageArea;
        EXPECT_EQ(WindowText(Item(layout.id)), edit ? WithCrLf(model.Text(layout.id)) : model.Text(layout.id));
        EXPECT_EQ(IsWindowEnabled(Item(layout.id)) != FALSE, model.IsEnabled(layout.id));
    }
    EXPECT_EQ(WindowText(Item(idBinaryToText)), "Binary => Text");
    EXPECT_EQ(IsDlgButtonChecked(m_handle, idBackupOption), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(m_handle, idSlot1), BST_CHECKED);
    char about[64] = "";
    GetMenuStringA(GetSystemMenu(m_handle, FALSE), CMorvaneWindow::kAboutCommand, about, sizeof about, MF_BYCOMMAND);
    EXPECT_STREQ(about, "Morvane Ver. (&A)...");
}

TEST_F(MorvaneWindowTest, FilesDroppedOnThePathFieldsAreApplied) {
    for (const int id : {idBinaryField, idTextField}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(GetWindowLongA(Item(id), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        const std::string path = "C:\\data\\dropped" + std::to_string(id) + ".dat";
        SendMessageA(Item(id), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(path)), 0);
        EXPECT_EQ(WindowText(Item(id)), path);
        EXPECT_EQ(m_window.Model().Text(id), path);
    }
    for (const int id : {idTargetField, idIndexListField})
        EXPECT_FALSE(GetWindowLongA(Item(id), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(MorvaneWindowTest, TypingIntoAPathFieldReachesTheModel) {
    SetWindowTextA(Item(idTextField), "typed.csv");
    EXPECT_EQ(m_window.Model().Text(idTextField), "typed.csv");
}

TEST_F(MorvaneWindowTest, EscapeClosesTheWindow) {
    SendMessageA(m_handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(m_handle));
    EXPECT_EQ(m_window.Handle(), nullptr);
}

namespace {
// What the box showed; the box is answered No from a timer inside its own loop.
struct CSeenBox {
    std::string caption, yes, no;
    bool noIsDefault = false;
} g_seen;

void CALLBACK AnswerNo(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = GetActiveWindow();
    if (!box || !GetDlgItem(box, IDNO)) return;
    KillTimer(nullptr, timer);
    g_seen = {WindowText(box), DialogItemText(box, IDYES), DialogItemText(box, IDNO),
              (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON};
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
}
}

TEST_F(MorvaneWindowTest, QuestionsShowTheVocabularysYesAndNoWithNoTheDefault) {
    CWin32MessageBox box;
    box.SetMainWindow(m_handle);
    SetTimer(nullptr, 0, 20, AnswerNo);
    EXPECT_EQ(box.Show({"Stop ?", mbQuestion, "morvane", "Ja", "Nein"}), idNo);
    EXPECT_EQ(g_seen.caption, "morvane");
    EXPECT_EQ(g_seen.yes, "Ja");
    EXPECT_EQ(g_seen.no, "Nein");
    EXPECT_TRUE(g_seen.noIsDefault);
}

namespace {
// A progress whose clock runs a second for every look, so that every update refreshes.
class CEveryUpdateProgress : public CWin32ProgressDlg {
public:
    CEveryUpdateProgress() { CheckClockEveryUpdate(); }

protected:
    std::chrono::steady_clock::time_point Now() const override { return m_now += std::chrono::seconds(1); }

private:
    mutable std::chrono::steady_clock::time_point m_now {};
};
}

TEST_F(MorvaneWindowTest, ProgressWindowDisablesTheOwnerAndAsksBeforeAStop) {
    CEveryUpdateProgress progress;
    progress.SetOwner(m_handle);
    ASSERT_TRUE(progress.Start(0, 10, 1, "items.dat", true));
    HWND window = progress.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsWindowEnabled(m_handle));
    EXPECT_EQ(WindowText(window), "Converting ...");
    EXPECT_EQ(DialogItemText(window, 1041), "items.dat");
    EXPECT_EQ(DialogItemText(window, 1042), "Record");

    // Enter does nothing; Cancel asks at the next poll, and only Yes stops.
    PostMessageA(GetDlgItem(window, IDCANCEL), WM_KEYDOWN, VK_RETURN, 0);
    progress.Update(1);
    EXPECT_FALSE(progress.PollCancel());
    EXPECT_TRUE(m_env.m_box.m_shown.empty());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    progress.Update(2);
    m_env.m_box.Answer(idYes);
    EXPECT_TRUE(progress.PollCancel());
    ASSERT_EQ(m_env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(DialogItemText(window, 1005), "2");

    progress.Close();
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowEnabled(m_handle));
}

TEST(MorvaneWindowPositionTest, StoredPositionIsRestoredAndTheMovedOneSaved) {
    InitControls();
    CTestEnvironment env;
    CAppState app;
    app.m_settingsPath = env.m_folder.Path() + "morvane.ini";
    app.m_positionValidity = 1;
    app.m_left = 40;
    app.m_top = 30;
    {
        CMorvaneWindow window(app);
        HWND handle = window.Create();
        ASSERT_NE(handle, nullptr);
        RECT area;
        GetWindowRect(handle, &area);
        EXPECT_EQ(area.left, 40);
        EXPECT_EQ(area.top, 30);
        SetWindowPos(handle, nullptr, 70, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    // Only the coordinate that moved is written.
    const std::string settings = env.m_folder.Read("morvane.ini");
    EXPECT_NE(settings.find("left=70"), std::string::npos) << settings;
    EXPECT_EQ(settings.find("top="), std::string::npos) << settings;
}

TEST(ShellExecuteOpenerTest, ErrorCodesMapAsTheShellMeansThem) {
    const struct {
        std::intptr_t code;
        ShellOpenResult result;
    } cases[] = {
        {33, ShellOpenResult::opened},
        {42, ShellOpenResult::opened},
        {32, ShellOpenResult::failed},
        {SE_ERR_ACCESSDENIED, ShellOpenResult::accessDenied},
        {SE_ERR_ASSOCINCOMPLETE, ShellOpenResult::associationIncomplete},
        {SE_ERR_NOASSOC, ShellOpenResult::noAssociation},
        {SE_ERR_FNF, ShellOpenResult::failed},
        {0, ShellOpenResult::failed},
    };
    for (const auto& c : cases) EXPECT_EQ(ShellOpenResultOf(c.code), c.result) << c.code;
}

TEST(ShellExecuteOpenerTest, FileOfATypeWithoutProgramHasNoAssociation) {
    CTempFolder folder;
    const std::string file = folder.Write("records.morvane-unknown-type", "data");
    CShellExecuteOpener shell;
    EXPECT_EQ(shell.Open(file), ShellOpenResult::noAssociation);
    EXPECT_EQ(shell.Open(folder.Path() + "missing.morvane-unknown-type"), ShellOpenResult::failed);
}
