#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/common/test_support.h"
#include "ui/win32/morvane_window.h"
#include "ui/win32/window_text.h"

namespace {
const std::string kDefinition = "ID,4,R,u,1,ID\r\nValue,2,R,n,1,Value\r\n";

std::string TargetFile(const std::string& label, const std::string& more) {
    return "[FileInfo]\r\nLabel=" + label + "\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=6\r\n"
           "BRecordCount=3\r\nTDelimiter=,\r\nBinaryFilePath=data.bin\r\nTextFilePath=data.csv\r\n" + more;
}

// Two targets over three records; the second picks records by an index list.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        Write("def.txt", kDefinition);
        Write("data.bin", std::string("\x01\0\0\0\x0A\0" "\x02\0\0\0\xEC\xFF" "\x03\0\0\0\x1E\0", 18));
        Write("index.txt", "0\r\n2\r\n0\r\n");
        Write("target1.ini", TargetFile("Alpha", ""));
        Write("target2.ini", TargetFile("Gamma", "BRecordIndexListFilePath=index.txt\r\n"));
        Write("morvane.ini", "[FileInfoDefaultRP]\r\nFileInfo1=target1.ini\r\nFileInfo2=target2.ini\r\n");
        m_app.LoadSettings(m_env.m_folder.Path() + "morvane.ini");
        m_window = std::make_unique<CMorvaneWindow>(m_app);
        ASSERT_NE(m_window->Create(), nullptr);
    }

    // Written with a later time than anything before, as a save some time after.
    void Write(const std::string& name, const std::string& contents) {
        const std::string path = m_env.m_folder.Write(name, contents);
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::minutes(++m_saves));
    }

    CPreviewWindow& OpenPreview() {
        SendMessageA(m_window->Handle(), WM_COMMAND, MAKEWPARAM(idPreview, 0), 0);
        CPreviewWindow* preview = m_window->Preview();
        if (!preview) throw std::runtime_error("the preview command opened no window");
        return *preview;
    }

    static std::string Cell(const CPreviewWindow& preview, int row, int column) {
        char text[256] = "";
        LVITEMA item {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(preview.List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    static std::string Header(const CPreviewWindow& preview, int column) {
        char text[256] = "";
        LVCOLUMNA header {};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = sizeof text;
        if (!SendMessageA(preview.List(), LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header)))
            return "(none)";
        return text;
    }

    static int Rows(const CPreviewWindow& preview) {
        return static_cast<int>(SendMessageA(preview.List(), LVM_GETITEMCOUNT, 0, 0));
    }

    CTestEnvironment m_env;
    CAppState m_app;
    std::unique_ptr<CMorvaneWindow> m_window;
    int m_saves = 0;
};
}

TEST_F(PreviewWindowTest, OpensFromTheMenuCommandAndFollowsTheSlot) {
    CPreviewWindow& preview = OpenPreview();
    EXPECT_TRUE(IsWindowVisible(preview.Handle()));
    EXPECT_TRUE(IsWindowEnabled(m_window->Handle())); // modeless
    EXPECT_EQ(WindowText(preview.Handle()), "Preview - Alpha");
    EXPECT_TRUE(GetWindowLongA(preview.List(), GWL_STYLE) & LVS_OWNERDATA);
    ASSERT_EQ(Rows(preview), 3);
    EXPECT_EQ(Header(preview, 1), "ID");
    EXPECT_EQ(Header(preview, 2), "Value");
    EXPECT_EQ(Header(preview, 3), "(none)");
    const char* const expected[3][3] = {{"1", "1", "10"}, {"2", "2", "-20"}, {"3", "3", "30"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) EXPECT_EQ(Cell(preview, row, column), expected[row][column]);
    EXPECT_EQ(WindowText(preview.Status()), "3 records, 6 bytes each");

    // The other slot's target: its rows are the index list's entries.
    SendMessageA(m_window->Handle(), WM_COMMAND, MAKEWPARAM(idSlot2, BN_CLICKED), 0);
    EXPECT_EQ(WindowText(preview.Handle()), "Preview - Gamma");
    ASSERT_EQ(Rows(preview), 2);
    EXPECT_EQ(Cell(preview, 0, 0), "1: 2");
    EXPECT_EQ(Cell(preview, 0, 1), "3");
}

TEST_F(PreviewWindowTest, TheClickedCellsBytesAreSelected) {
    CPreviewWindow& preview = OpenPreview();
    LVITEMA selected {};
    selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(preview.List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
    NMITEMACTIVATE click {};
    click.hdr = {preview.List(), CPreviewWindow::kListId, static_cast<UINT>(NM_CLICK)};
    click.iItem = 1;
    click.iSubItem = 2;
    SendMessageA(preview.Handle(), WM_NOTIFY, CPreviewWindow::kListId, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(WindowText(preview.Status()), "3 records, 6 bytes each; record 2 at offset 6 (0x6)");
    const std::string bytes = WindowText(preview.Bytes());
    EXPECT_EQ(bytes, "00000006  02 00 00 00 EC FF");
    DWORD from = 0, to = 0;
    SendMessageA(preview.Bytes(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(bytes.substr(from, to - from), "EC FF");
}

TEST_F(PreviewWindowTest, AChangedFileRefreshesAndABrokenDefinitionShowsItsTextUntilMended) {
    CPreviewWindow& preview = OpenPreview();
    const auto look = [&] { SendMessageA(preview.Handle(), WM_TIMER, CPreviewWindow::kCheckTimer, 0); };
    look();
    EXPECT_EQ(Cell(preview, 0, 2), "10");
    Write("def.txt", "ID,4,R,u,1,ID\r\nValue,2,N,n,1,Value\r\n");
    look();
    EXPECT_EQ(Cell(preview, 0, 2), "2560");

    Write("def.txt", "ID,4,R,u,1\r\n");
    look();
    EXPECT_TRUE(IsWindowVisible(preview.Failure()));
    EXPECT_FALSE(IsWindowVisible(preview.List()));
    EXPECT_EQ(WindowText(preview.Failure()), WithCrLf(preview.Model().Failure()));
    EXPECT_EQ(WindowText(preview.Failure()).rfind("Record Def Error", 0), 0u) << WindowText(preview.Failure());
    EXPECT_EQ(WindowText(preview.Status()), "");

    Write("def.txt", kDefinition);
    look();
    EXPECT_FALSE(IsWindowVisible(preview.Failure()));
    EXPECT_TRUE(IsWindowVisible(preview.List()));
    EXPECT_EQ(Cell(preview, 1, 2), "-20");
}

TEST_F(PreviewWindowTest, ItsPlaceIsRememberedAndTakenAgain) {
    CPreviewWindow& preview = OpenPreview();
    MoveWindow(preview.Handle(), 50, 60, 500, 400, FALSE);
    m_window.reset();
    EXPECT_EQ(m_app.m_previewGeometry, (std::array<int, 4> {50, 60, 500, 400}));
    m_window = std::make_unique<CMorvaneWindow>(m_app);
    ASSERT_NE(m_window->Create(), nullptr);
    RECT place;
    GetWindowRect(OpenPreview().Handle(), &place);
    EXPECT_EQ(place.left, 50);
    EXPECT_EQ(place.top, 60);
    EXPECT_EQ(place.right - place.left, 500);
    EXPECT_EQ(place.bottom - place.top, 400);
}
