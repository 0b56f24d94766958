#include "ui/win32/morvane_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/desktop_app.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/win32_message_box.h"
#include "ui/win32/window_text.h"

namespace {
using K = ControlKind;

constexpr UINT kOpenStartFiles = WM_APP + 1;
constexpr int kIconId = 128;
constexpr const char* kAboutItem = "Morvane Ver. (&A)...";

CDialogItem ItemOf(const CControlLayout& layout) {
    CDialogItem item {u"BUTTON", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, layout.id,
                      layout.x, layout.y, layout.width, layout.height, u""};
    switch (layout.kind) {
    case K::frame: item.style = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX; break;
    case K::slotButton:
        // One group from the first slot on, so that the arrow keys move between the slots.
        item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE | BS_TOP |
                     (layout.id == idSlot1 ? WS_GROUP : 0);
        break;
    case K::labelPanel:
    case K::valuePanel:
    case K::text:
    case K::link:
        item.windowClass = u"STATIC";
        item.style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX;
        if (layout.kind == K::labelPanel) item.style |= SS_LEFTNOWORDWRAP | SS_SUNKEN;
        if (layout.kind == K::valuePanel) item.style |= SS_RIGHT | SS_SUNKEN;
        if (layout.kind == K::link) item.style |= SS_NOTIFY | SS_CENTERIMAGE;
        break;
    case K::button: item.style |= BS_PUSHBUTTON; break;
    case K::multiLineButton: item.style |= BS_PUSHBUTTON | BS_MULTILINE; break;
    case K::defaultButton: item.style |= BS_DEFPUSHBUTTON | BS_MULTILINE; break;
    case K::pathField:
    case K::readOnlyField:
    case K::messageArea:
        item.windowClass = u"EDIT";
        item.style |= WS_BORDER | ES_AUTOHSCROLL;
        if (layout.kind == K::readOnlyField) item.style |= ES_READONLY;
        if (layout.kind == K::messageArea) item.style = (item.style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_READONLY |
                                                         ES_AUTOVSCROLL | WS_VSCROLL;
        break;
    case K::option: item.style |= BS_AUTOCHECKBOX; break;
    }
    return item;
}

const CControlLayout* LayoutOf(int id) {
    for (const CControlLayout& layout : MainWindowLayout())
        if (layout.id == id) return &layout;
    return nullptr;
}

bool IsEdit(ControlKind kind) { return kind == K::pathField || kind == K::readOnlyField || kind == K::messageArea; }

HICON LoadProgramIcon(int metricX, int metricY) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0));
}
}

const CDialogTemplate& CMorvaneWindow::Template() {
    static const CDialogTemplate dialog = [] {
        std::vector<CDialogItem> items;
        for (const CControlLayout& layout : MainWindowLayout()) items.push_back(ItemOf(layout));
        return CDialogTemplate({DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                u"Morvane", kMainWindowWidth, kMainWindowHeight, kDialogFontName, kDialogPointSize},
                               items);
    }();
    return dialog;
}

CMorvaneWindow::CMorvaneWindow(CAppState& app, CWin32MessageBox* messageBox)
    : m_app(app),
      m_messageBox(messageBox),
      m_actions(m_progress, [this](bool) { UpdateCursor(); }),
      m_model(app, m_progress, m_shell) {
    m_model.m_waitCursor = [this](bool busy) { m_actions.WaitCursor(busy); };
    m_model.m_repaint = [this] {
        ShowModel();
        RedrawWindow(m_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
}

CMorvaneWindow::~CMorvaneWindow() {
    if (m_window) DestroyWindow(m_window);
}

void CMorvaneWindow::Run(const std::vector<std::string>& files) {
    m_modal = true;
    m_startFiles = files;
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), Template().Get(), nullptr, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

HWND CMorvaneWindow::Create() {
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), Template().Get(), nullptr, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    return m_window;
}

INT_PTR CALLBACK CMorvaneWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<CMorvaneWindow*>(lParam);
        self->m_window = window;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<CMorvaneWindow*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

LRESULT CALLBACK CMorvaneWindow::PathFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR self) {
    if (message == WM_DROPFILES) {
        reinterpret_cast<CMorvaneWindow*>(self)->OnDropFiles(static_cast<int>(id), reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, PathFieldProc, id);
    return DefSubclassProc(field, message, wParam, lParam);
}

INT_PTR CMorvaneWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != kAboutCommand) return FALSE;
        ShowAbout();
        return TRUE;
    case WM_CONTEXTMENU: OnContextMenu(lParam); return TRUE;
    case WM_SETCURSOR:
        if (!m_actions.IsWaiting()) return FALSE;
        UpdateCursor();
        SetWindowLongPtrA(m_window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case kOpenStartFiles: Run([this] { m_model.OpenFiles(m_startFiles); }); return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_NCDESTROY: m_window = nullptr; return FALSE;
    default: return FALSE;
    }
}

void CMorvaneWindow::OnInitDialog() {
    m_shell.SetOwner(m_window);
    m_progress.SetOwner(m_window);
    if (m_messageBox) m_messageBox->SetMainWindow(m_window);
    if (HMENU menu = GetSystemMenu(m_window, FALSE)) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommand, kAboutItem);
    }
    m_icons[ICON_BIG] = LoadProgramIcon(SM_CXICON, SM_CYICON);
    m_icons[ICON_SMALL] = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
    for (const WPARAM size : {ICON_BIG, ICON_SMALL})
        if (m_icons[size]) SendMessageA(m_window, WM_SETICON, size, reinterpret_cast<LPARAM>(m_icons[size]));

    // Wide: the face's name need not exist in the code page.
    LOGFONTW bold {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageA(m_window, WM_GETFONT, 0, 0)), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    m_boldFont = CreateFontIndirectW(&bold);
    SendDlgItemMessageA(m_window, idMessageArea, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont), FALSE);
    for (const int id : {idBinaryField, idTextField}) {
        HWND field = GetDlgItem(m_window, id);
        DragAcceptFiles(field, TRUE);
        SetWindowSubclass(field, PathFieldProc, static_cast<UINT_PTR>(id), reinterpret_cast<DWORD_PTR>(this));
    }
    SendMessageA(m_window, DM_SETDEFID, idBinaryToText, 0);
    CreateToolTip();

    Run([this] { m_model.Initialize(); });
    if (m_app.m_positionValidity == 1) RestoreWindowPosition();
    if (!m_startFiles.empty()) PostMessageA(m_window, kOpenStartFiles, 0, 0);
}

void CMorvaneWindow::OnCommand(int id, int code) {
    if (id == IDCANCEL) {
        Close();
        return;
    }
    if (id == static_cast<int>(kAboutCommand)) {
        ShowAbout();
        return;
    }
    if (id == idCheckBinaryToTextToBinary || id == idCheckTextToBinary) {
        Run([this, id] { m_model.Command(id); });
        return;
    }
    const CControlLayout* layout = LayoutOf(id);
    if (!layout) return;
    switch (layout->kind) {
    case K::slotButton:
    case K::button:
    case K::multiLineButton:
    case K::defaultButton:
    case K::link:
        if (code == BN_CLICKED) Run([this, id] { m_model.Command(id); });
        break;
    case K::option:
        if (code == BN_CLICKED) {
            const bool checked = IsDlgButtonChecked(m_window, id) == BST_CHECKED;
            Run([this, id, checked] { m_model.SetChecked(id, checked); });
        }
        break;
    case K::pathField:
        if (code == EN_CHANGE && !m_showing) m_model.EditField(id, DialogItemText(m_window, id));
        break;
    default: break;
    }
}

void CMorvaneWindow::OnDropFiles(int fieldId, HDROP drop) {
    char path[MAX_PATH] = "";
    const UINT length = DragQueryFileA(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (length == 0) return;
    const std::string file(path, length);
    Run([this, fieldId, &file] { m_model.DropFile(fieldId, file); });
}

void CMorvaneWindow::OnContextMenu(LPARAM at) {
    POINT point {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        // From the keyboard: at the window's top left corner.
        point = {0, 0};
        ClientToScreen(m_window, &point);
    }
    HMENU menu = CreatePopupMenu();
    // The checks' items first, the about item after a separator; captions are the model's.
    for (const int command : {idCheckBinaryToTextToBinary, idCheckTextToBinary})
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command), m_model.Text(command).c_str());
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kAboutCommand, kAboutItem);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, m_window, nullptr);
    DestroyMenu(menu);
    if (chosen) OnCommand(chosen, BN_CLICKED);
}

void CMorvaneWindow::OnDestroy() {
    // The window goes away whatever happens here: a failed write only loses the position.
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(m_window, &placement)) {
        try {
            m_model.SavePosition(placement.rcNormalPosition.left, placement.rcNormalPosition.top);
        } catch (...) {
        }
    }
    if (m_messageBox) m_messageBox->SetMainWindow(nullptr);
    DeleteObject(m_boldFont);
    m_boldFont = nullptr;
    for (HICON& icon : m_icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
}

void CMorvaneWindow::Close() {
    // Escape and the close box are ignored while a command runs.
    if (m_actions.IsRunning()) return;
    if (m_modal)
        EndDialog(m_window, IDCANCEL);
    else
        DestroyWindow(m_window);
}

void CMorvaneWindow::Run(const std::function<void()>& action) {
    if (m_actions.Run(action)) ShowModel();
}

void CMorvaneWindow::UpdateCursor() { SetCursor(LoadCursorA(nullptr, m_actions.IsWaiting() ? IDC_WAIT : IDC_ARROW)); }

void CMorvaneWindow::ShowModel() {
    if (!m_window) return;
    m_showing = true;
    for (const CControlLayout& layout : MainWindowLayout()) {
        HWND control = GetDlgItem(m_window, layout.id);
        ShowText(layout, control);
        EnableWindow(control, m_model.IsEnabled(layout.id));
        if (layout.kind == K::option)
            CheckDlgButton(m_window, layout.id, m_model.IsChecked(layout.id) ? BST_CHECKED : BST_UNCHECKED);
        else if (layout.kind == K::slotButton && m_model.IsChecked(layout.id))
            CheckRadioButton(m_window, idSlot1, idSlot3, layout.id);
    }
    m_showing = false;
    // The info panel's fixed layout stays; the declared encodings are shown on hovering over it.
    std::string toolTip = WithCrLf(m_model.InfoToolTip());
    for (const int id : {idLabelColumn, idValueColumn}) {
        TOOLINFOA tool {};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_window;
        tool.uId = static_cast<UINT_PTR>(id);
        tool.lpszText = toolTip.data();
        SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (HWND field = GetDlgItem(m_window, m_model.TakeFocusRequest())) {
        SendMessageA(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
        SendMessageA(field, EM_SETSEL, 0, -1);
    }
}

void CMorvaneWindow::ShowText(const CControlLayout& layout, HWND control) {
    const std::string text = IsEdit(layout.kind) ? WithCrLf(m_model.Text(layout.id)) : m_model.Text(layout.id);
    if (WindowText(control) != text) SetWindowTextA(control, text.c_str());
}

void CMorvaneWindow::CreateToolTip() {
    m_toolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    // Wide enough for a line of each declared encoding.
    SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, 600);
    char empty[] = "";
    for (const int id : {idLabelColumn, idValueColumn}) {
        // The panels let the mouse through to the window, which the tip watches.
        TOOLINFOA tool {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = static_cast<UINT_PTR>(id);
        GetWindowRect(GetDlgItem(m_window, id), &tool.rect);
        MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&tool.rect), 2);
        tool.lpszText = empty;
        SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CMorvaneWindow::RestoreWindowPosition() {
    RECT area;
    GetWindowRect(m_window, &area);
    const CWindowPlacement placement =
        m_model.RestorePosition(area.right - area.left, area.bottom - area.top, GetSystemMetrics(SM_CXFULLSCREEN),
                                GetSystemMetrics(SM_CYFULLSCREEN));
    SetWindowPos(m_window, HWND_TOP, placement.left, placement.top, 0, 0, SWP_NOSIZE);
}

void CMorvaneWindow::ShowAbout() {
    MSGBOXPARAMSA about {};
    about.cbSize = sizeof about;
    about.hwndOwner = m_window;
    about.hInstance = GetModuleHandleA(nullptr);
    const std::string text = AboutVersionLine() + "\r\n" + AboutNotice();
    about.lpszText = text.c_str();
    about.lpszCaption = "About Morvane";
    about.dwStyle = MB_OK | MB_USERICON;
    about.lpszIcon = MAKEINTRESOURCEA(kIconId);
    MessageBoxIndirectA(&about);
}
