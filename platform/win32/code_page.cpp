#include "platform/code_page.h"

#include <cstdlib>
#include <windows.h>

namespace {
// The code page number of a name of the program's list; 0 for another name.
UINT CodePageNumber(const std::string& name) {
    if (name == "EUC-JP") return 20932;
    if (name == "GB18030") return 54936;
    if (name == "KOI8-R") return 20866;
    if (name == "UTF-8") return CP_UTF8;
    const auto number = [&](std::size_t from) -> UINT {
        if (name.size() <= from || name.size() > from + 5) return 0;
        for (std::size_t i = from; i < name.size(); ++i)
            if (name[i] < '0' || name[i] > '9') return 0;
        return static_cast<UINT>(std::atoi(name.c_str() + from));
    };
    if (name.rfind("CP", 0) == 0) return number(2);
    if (name.rfind("ISO-8859-", 0) == 0) {
        const UINT part = number(9);
        return part >= 1 && part <= 16 ? 28590 + part : 0;
    }
    return 0;
}

// These code pages take only the flag that refuses invalid characters, and report no default
// character: what they cannot express is refused by that flag.
bool TakesOnlyInvalidCharFlag(UINT page) { return page == CP_UTF8 || page == 54936; }

// Converts bytes of the code page to UTF-16; false at bytes that are no character.
bool ToWide(UINT page, std::string_view bytes, std::wstring& wide) {
    wide.clear();
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<std::size_t>(length));
    return ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) == length;
}

// Converts UTF-16 to bytes of the code page; false for a character it lacks, or one it would
// only approximate.
bool FromWide(UINT page, std::wstring_view wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    const bool plain = TakesOnlyInvalidCharFlag(page);
    const DWORD flags = plain ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* defaulted = plain ? nullptr : &usedDefault;
    const int length = ::WideCharToMultiByte(page, flags, wide.data(), size, nullptr, 0, nullptr, defaulted);
    if (length <= 0 || usedDefault) return false;
    bytes.resize(static_cast<std::size_t>(length));
    return ::WideCharToMultiByte(page, flags, wide.data(), size, bytes.data(), length, nullptr, defaulted) == length &&
           !usedDefault;
}

// Converts between two code pages through UTF-16, the whole text at once. When that fails, the
// text goes again character by character (every code page here is stateless and no character
// is longer than 4 bytes) to find where the first refused one begins.
bool Convert(UINT from, UINT to, std::string_view input, std::string& out, std::size_t& failedAt) {
    std::wstring wide;
    std::string bytes;
    if (ToWide(from, input, wide) && FromWide(to, wide, bytes)) {
        out += bytes;
        return true;
    }
    std::size_t at = 0;
    while (at < input.size()) {
        std::size_t length = 1;
        for (; length <= 4 && at + length <= input.size(); ++length)
            if (ToWide(from, input.substr(at, length), wide)) break;
        if (length > 4 || at + length > input.size() || !FromWide(to, wide, bytes)) {
            failedAt = at;
            return false;
        }
        out += bytes;
        at += length;
    }
    return true;
}
}

struct CCodePage::CConverters {
    UINT page = 0;
};

CCodePage::CCodePage() = default;
CCodePage::~CCodePage() = default;

bool CCodePage::Open(const std::string& name) {
    const UINT page = CodePageNumber(name);
    if (page == 0 || !::IsValidCodePage(page)) {
        m_converters.reset();
        return false;
    }
    m_converters = std::make_unique<CConverters>();
    m_converters->page = page;
    return true;
}

bool CCodePage::IsOpen() const { return m_converters != nullptr; }

bool CCodePage::ToSystem(std::string_view bytes, std::string& out, std::size_t& failedAt) const {
    return Convert(m_converters->page, CP_UTF8, bytes, out, failedAt);
}

bool CCodePage::FromSystem(std::string_view text, std::string& out, std::size_t& failedAt) const {
    return Convert(CP_UTF8, m_converters->page, text, out, failedAt);
}

bool Utf8ToSystemText(std::string_view text, std::string& out, std::size_t& failedAt) {
    return Convert(CP_UTF8, CP_ACP, text, out, failedAt);
}
