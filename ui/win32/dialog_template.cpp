#include "ui/win32/dialog_template.h"

CDialogTemplate::CDialogTemplate(const CDialogFrame& frame, const std::vector<CDialogItem>& items) {
    const DWORD style = frame.style | (frame.fontName.empty() ? 0 : DS_SETFONT);
    Add(1);      // version
    Add(0xFFFF); // extended
    AddLong(0);  // help id
    AddLong(0);  // extended style
    AddLong(style);
    Add(static_cast<WORD>(items.size()));
    Add(0);
    Add(0);
    Add(static_cast<WORD>(frame.width));
    Add(static_cast<WORD>(frame.height));
    Add(0); // no menu
    Add(0); // the dialog class
    AddText(frame.caption);
    if (style & DS_SETFONT) {
        Add(static_cast<WORD>(frame.pointSize));
        Add(FW_NORMAL);
        Add(DEFAULT_CHARSET << 8); // not italic, the font's own character set
        AddText(frame.fontName);
    }
    for (const CDialogItem& item : items) {
        AlignToLong();
        AddLong(0);
        AddLong(item.exStyle);
        AddLong(item.style);
        Add(static_cast<WORD>(item.x));
        Add(static_cast<WORD>(item.y));
        Add(static_cast<WORD>(item.width));
        Add(static_cast<WORD>(item.height));
        AddLong(static_cast<DWORD>(item.id));
        AddText(item.windowClass);
        AddText(item.text);
        Add(0); // no creation data
    }
}

void CDialogTemplate::AddLong(DWORD value) {
    Add(LOWORD(value));
    Add(HIWORD(value));
}

void CDialogTemplate::AddText(const std::u16string& text) {
    for (const char16_t c : text) Add(c);
    Add(0);
}

void CDialogTemplate::AlignToLong() {
    if (m_words.size() % 2) Add(0);
}
