#include "ui/win32/preview_window.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/preview_text.h"
#include "ui/win32/window_text.h"

namespace {
constexpr const char* kClassName = "MorvanePreview";
constexpr UINT kCheckInterval = 500; // milliseconds between looks at the watched files
constexpr int kDefaultWidth = 720, kDefaultHeight = 480;

COLORREF RgbOf(const CPreviewColour& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSA windowClass {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kClassName, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
}

// The text as one line, for a cell.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}
}

CPreviewWindow::CPreviewWindow(CAppState& app, HWND owner, std::function<bool()> paused)
    : m_app(app), m_owner(owner), m_paused(std::move(paused)), m_preview(app) {}

CPreviewWindow::~CPreviewWindow() {
    if (m_window) DestroyWindow(m_window);
}

void CPreviewWindow::Show() {
    if (!m_window) {
        RegisterWindowClass(WindowProc);
        const auto& [left, top, width, height] = m_app.m_previewGeometry;
        RECT place {left, top, left + width, top + height};
        const bool sized = width > 200 && height > 150;
        // A place off every screen, as after a change of screens, is not taken.
        const bool placed = sized && left != kPositionUnset && top != kPositionUnset &&
                            MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr;
        CreateWindowExA(0, kClassName, "Preview", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        placed ? left : CW_USEDEFAULT, placed ? top : CW_USEDEFAULT, sized ? width : kDefaultWidth,
                        sized ? height : kDefaultHeight, m_owner, nullptr, GetModuleHandleA(nullptr), this);
        if (!m_window) return;
        OnCreate();
    }
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetForegroundWindow(m_window);
    SetTimer(m_window, kCheckTimer, kCheckInterval, nullptr);
}

LRESULT CALLBACK CPreviewWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CPreviewWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto* self = reinterpret_cast<CPreviewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CPreviewWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
        if (Status()) OnSize();
        return 0;
    case WM_TIMER:
        if (wParam == kCheckTimer) CheckFiles();
        return 0;
    case WM_CLOSE:
        KillTimer(m_window, kCheckTimer);
        ShowWindow(m_window, SW_HIDE);
        return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcA(m_window, message, wParam, lParam);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        m_window = nullptr;
        return result;
    }
    default: return DefWindowProcA(m_window, message, wParam, lParam);
    }
}

void CPreviewWindow::OnCreate() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const auto child = [&](DWORD exStyle, const char* windowClass, DWORD style, int id) {
        HWND control = CreateWindowExA(exStyle, windowClass, "", WS_CHILD | style, 0, 0, 0, 0, m_window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    };
    HWND list = child(WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                      WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                      kListId);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    child(WS_EX_CLIENTEDGE, "STATIC", SS_NOPREFIX | SS_LEFT, kFailureId);
    HWND bytes = child(WS_EX_CLIENTEDGE, "EDIT",
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL,
                       kBytesId);
    LOGFONTA fixed {};
    fixed.lfHeight = -13;
    fixed.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    m_fixedFont = CreateFontIndirectA(&fixed);
    SendMessageA(bytes, WM_SETFONT, reinterpret_cast<WPARAM>(m_fixedFont), FALSE);
    child(0, STATUSCLASSNAMEA, WS_VISIBLE | SBARS_SIZEGRIP, kStatusId);
    OnSize();
}

LRESULT CPreviewWindow::OnNotify(const NMHDR& header) {
    if (header.idFrom != kListId) return 0;
    switch (header.code) {
    case LVN_GETDISPINFOA:
        GetDisplayText(*reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
        return 0;
    case NM_CUSTOMDRAW: return CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    case NM_CLICK: {
        // The first column is the row's title, not a cell of the record.
        const int subItem = reinterpret_cast<const NMITEMACTIVATE&>(header).iSubItem;
        m_column = subItem - 1;
        ShowSelection();
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) ShowSelection();
        return 0;
    }
    default: return 0;
    }
}

void CPreviewWindow::OnSize() {
    HWND status = Status();
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT client, bar;
    GetClientRect(m_window, &client);
    GetWindowRect(status, &bar);
    const int height = std::max<int>(client.bottom - (bar.bottom - bar.top), 0);
    // The records take three quarters, the bytes the rest.
    const int split = height * 3 / 4;
    for (HWND top : {List(), Failure()}) MoveWindow(top, 0, 0, client.right, split, TRUE);
    MoveWindow(Bytes(), 0, split, client.right, height - split, TRUE);
}

void CPreviewWindow::OnDestroy() {
    KillTimer(m_window, kCheckTimer);
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(m_window, &placement)) {
        const RECT& place = placement.rcNormalPosition;
        m_app.SavePreviewGeometry({place.left, place.top, place.right - place.left, place.bottom - place.top});
    }
    DeleteObject(m_fixedFont);
    m_fixedFont = nullptr;
}

void CPreviewWindow::Follow(const CPreviewSource& source) {
    if (source == m_preview.Source() && !m_preview.Source().targetPath.empty()) return;
    m_preview.Open(source);
    m_column = -1;
    ShowPreview();
    SendMessageA(List(), LVM_ENSUREVISIBLE, 0, FALSE);
}

void CPreviewWindow::CheckFiles() {
    if (m_paused && m_paused()) return;
    for (const auto& [path, stamp] : m_stamps)
        if (FileStampOf(path) != stamp) {
            Reload();
            return;
        }
}

void CPreviewWindow::Reload() {
    const int row = SelectedRow();
    const int top = static_cast<int>(SendMessageA(List(), LVM_GETTOPINDEX, 0, 0));
    m_preview.Reload();
    ShowPreview();
    const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    // The rows in view stay in view: the last first, then the first at the top.
    SendMessageA(List(), LVM_ENSUREVISIBLE, std::min(count - 1, top + static_cast<int>(SendMessageA(List(), LVM_GETCOUNTPERPAGE, 0, 0))), FALSE);
    SendMessageA(List(), LVM_ENSUREVISIBLE, std::min(count - 1, top), FALSE);
    if (row >= 0 && row < count) {
        LVITEMA item {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

void CPreviewWindow::ShowPreview() {
    SetWindowTextA(m_window, ("Preview - " + m_preview.Title()).c_str());
    const bool failed = !m_preview.Failure().empty();
    SetWindowTextA(Failure(), WithCrLf(m_preview.Failure()).c_str());
    ShowWindow(Failure(), failed ? SW_SHOW : SW_HIDE);
    ShowWindow(List(), failed ? SW_HIDE : SW_SHOW);
    ShowColumns();
    const std::uint32_t rows = failed ? 0 : std::min(m_preview.RowCount(), kMaxRows);
    SendMessageA(List(), LVM_SETITEMCOUNT, rows, 0);
    InvalidateRect(List(), nullptr, TRUE);
    TakeStamps();
    ShowSelection();
}

void CPreviewWindow::ShowColumns() {
    HWND list = List();
    while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    if (!m_preview.Failure().empty()) return;
    std::vector<std::string> headers {""};
    for (const CPreviewColumn& column : m_preview.Columns()) headers.push_back(column.header);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        LVCOLUMNA column {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = headers[i].data();
        const int textWidth = static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                            reinterpret_cast<LPARAM>(headers[i].c_str())));
        column.cx = std::max(textWidth + 16, 64);
        column.iSubItem = static_cast<int>(i);
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CPreviewWindow::ShowSelection() {
    const int row = m_preview.Failure().empty() ? SelectedRow() : -1;
    const CPreviewRecord* record = row >= 0 ? &m_preview.Row(static_cast<std::uint32_t>(row)) : nullptr;
    SetWindowTextA(Status(), PreviewStatusText(m_preview, record).c_str());
    const std::string text = record ? WithCrLf(PreviewBytesText(*record)) : std::string();
    SetWindowTextA(Bytes(), text.c_str());
    const auto& columns = m_preview.Columns();
    if (!record || record->bytes.empty() || m_column < 0 || static_cast<std::size_t>(m_column) >= columns.size())
        return;
    // Every line but the last is as long as the first; the bytes start after the offset's two blanks.
    const std::size_t lineLength = text.find('\r') + 2;
    const std::size_t bytesStart = text.find("  ") + 2;
    const auto at = [&](std::uint32_t byte) {
        return byte / kPreviewBytesPerLine * lineLength + bytesStart + 3 * (byte % kPreviewBytesPerLine);
    };
    const CPreviewColumn& column = columns[static_cast<std::size_t>(m_column)];
    const std::uint32_t last = std::min<std::uint32_t>(column.offset + column.length, record->bytes.size()) - 1;
    SendMessageA(Bytes(), EM_SETSEL, at(column.offset), at(last) + 2);
}

void CPreviewWindow::GetDisplayText(NMLVDISPINFOA& info) {
    LVITEMA& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const auto row = static_cast<std::uint32_t>(item.iItem);
    std::string text;
    if (item.iSubItem == 0) {
        text = m_preview.RowTitle(row);
    } else {
        const CPreviewRecord& record = m_preview.Row(row);
        const auto column = static_cast<std::size_t>(item.iSubItem - 1);
        // A record that would fail shows why across its first cell.
        if (!record.failure.empty())
            text = column == 0 ? OneLine(record.failure) : std::string();
        else if (column < record.cells.size())
            text = record.cells[column];
    }
    lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT CPreviewWindow::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const CPreviewRecord& record = m_preview.Row(static_cast<std::uint32_t>(draw.nmcd.dwItemSpec));
        const auto column = static_cast<std::size_t>(draw.iSubItem - 1);
        draw.clrTextBk = CLR_DEFAULT;
        if (!record.failure.empty())
            draw.clrTextBk = RgbOf(kFailedRecordColour);
        else if (draw.iSubItem > 0 && column < record.marked.size() && record.marked[column])
            draw.clrTextBk = RgbOf(kMarkedCellColour);
        return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
    }
}

int CPreviewWindow::SelectedRow() const {
    return static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CPreviewWindow::TakeStamps() {
    m_stamps.clear();
    for (const std::string& path : m_preview.WatchedFiles()) m_stamps.emplace_back(path, FileStampOf(path));
}
