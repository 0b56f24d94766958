#include "support/text_encoding.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {
struct CAlias {
    const char* alias;
    const char* name;
};

// Other names in use for the encodings of the list.
constexpr CAlias kAliases[] = {
    {"SHIFT_JIS", "CP932"}, {"SHIFT-JIS", "CP932"}, {"SJIS", "CP932"},      {"WINDOWS-31J", "CP932"},
    {"MS932", "CP932"},     {"EUCJP", "EUC-JP"},    {"GBK", "CP936"},       {"MS936", "CP936"},
    {"BIG5", "CP950"},      {"BIG-5", "CP950"},     {"MS950", "CP950"},     {"UHC", "CP949"},
    {"MS949", "CP949"},     {"KOI8R", "KOI8-R"},    {"UTF8", "UTF-8"},
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The program's name for a name of the list, or nothing.
std::string ListedName(const std::string& upper) {
    for (const CAlias& alias : kAliases)
        if (upper == alias.alias) return alias.name;
    for (const char* name : {"CP932", "EUC-JP", "CP936", "GB18030", "CP950", "CP949", "KOI8-R", "UTF-8"})
        if (upper == name) return upper;
    // CP1250..CP1258, also as WINDOWS-125n.
    for (const std::string prefix : {"CP", "WINDOWS-"})
        if (upper.size() == prefix.size() + 4 && upper.compare(0, prefix.size(), prefix) == 0 &&
            upper.compare(prefix.size(), 3, "125") == 0 && upper.back() >= '0' && upper.back() <= '8')
            return "CP" + upper.substr(prefix.size());
    // ISO-8859-1..16 (there is no part 12), also as ISO8859-n and ISO_8859-n.
    for (const std::string prefix : {"ISO-8859-", "ISO8859-", "ISO_8859-"}) {
        if (upper.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string part = upper.substr(prefix.size());
        if (part.empty() || part.size() > 2 || part[0] == '0' ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::string();
        const int n = std::stoi(part);
        return n >= 1 && n <= 16 && n != 12 ? "ISO-8859-" + part : std::string();
    }
    return std::string();
}

void SetLengths(std::array<std::uint8_t, 256>& lengths, int first, int last, std::uint8_t length) {
    for (int b = first; b <= last; ++b) lengths[static_cast<std::size_t>(b)] = length;
}
}

bool CTextEncoding::SetName(std::string_view name) {
    const std::string listed = ListedName(Upper(name));
    if (listed.empty()) return false;
    m_name = listed;
    m_lengths.fill(1);
    m_fourByteByDigit = false;
    if (m_name == "CP932") {
        SetLengths(m_lengths, 0x81, 0x9F, 2);
        SetLengths(m_lengths, 0xE0, 0xFC, 2);
    } else if (m_name == "EUC-JP") {
        SetLengths(m_lengths, 0xA1, 0xFE, 2);
        m_lengths[0x8E] = 2; // half-width katakana
        m_lengths[0x8F] = 3; // JIS X 0212
    } else if (m_name == "CP936" || m_name == "CP950" || m_name == "CP949" || m_name == "GB18030") {
        SetLengths(m_lengths, 0x81, 0xFE, 2);
        m_fourByteByDigit = m_name == "GB18030";
    } else if (m_name == "UTF-8") {
        SetLengths(m_lengths, 0xC2, 0xDF, 2);
        SetLengths(m_lengths, 0xE0, 0xEF, 3);
        SetLengths(m_lengths, 0xF0, 0xF4, 4);
    }
    return true;
}

std::size_t CTextEncoding::BoundaryBefore(const std::uint8_t* bytes, std::size_t size, std::size_t limit) const {
    std::size_t at = 0;
    while (at < size) {
        const std::size_t next = at + CharacterLength(bytes + at, size - at);
        if (next > limit) break;
        at = next;
    }
    return at;
}
