#pragma once
#include <string>
#include <vector>
#include <windows.h>

// The font of the program's dialogs: a proportional gothic with Japanese glyphs, 10 points.
inline const std::u16string kDialogFontName = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
constexpr int kDialogPointSize = 10;

// One control of a dialog template: its window class, styles, id, place in dialog units and
// first text.
struct CDialogItem {
    std::u16string windowClass;
    DWORD style = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::u16string text;
    DWORD exStyle = 0;
};

// What a dialog template says of the window itself. The font is set (DS_SETFONT) when named.
struct CDialogFrame {
    DWORD style = 0;
    std::u16string caption;
    int width = 0, height = 0;
    std::u16string fontName;
    int pointSize = 0;
};

// An extended dialog template (DLGTEMPLATEEX) in memory, ready for CreateDialogIndirectParam
// and DialogBoxIndirectParam.
class CDialogTemplate {
public:
    CDialogTemplate(const CDialogFrame& frame, const std::vector<CDialogItem>& items);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Add(WORD word) { m_words.push_back(word); }
    void AddLong(DWORD value);
    void AddText(const std::u16string& text);
    void AlignToLong();

    std::vector<WORD> m_words;
};
