#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Conversions between a code page and UTF-8, the text files' encoding, through the
// tables the platform supplies. Code pages go by the program's names for them: CP932, EUC-JP,
// CP936, GB18030, CP950, CP949, CP1250 to CP1258, ISO-8859-n, KOI8-R, UTF-8.
class CCodePage {
public:
    CCodePage();
    ~CCodePage();
    CCodePage(const CCodePage&) = delete;
    CCodePage& operator=(const CCodePage&) = delete;

    // False when the platform cannot convert the code page.
    bool Open(const std::string& name);
    bool IsOpen() const;

    // Appends the bytes, converted into the system's encoding, to out. False when a byte
    // sequence is no character of the code page, with the offset where it begins; out then
    // holds the text before it.
    bool ToSystem(std::string_view bytes, std::string& out, std::size_t& failedAt) const;
    // The reverse: false at the offset of the first character the code page cannot express,
    // or of bytes that are no character of the system's encoding.
    bool FromSystem(std::string_view text, std::string& out, std::size_t& failedAt) const;

private:
    struct CConverters;
    std::unique_ptr<CConverters> m_converters;
};

// Converts UTF-8 text into the system's own texts (paths, the window's words): unchanged on POSIX,
// where they are UTF-8; into the ANSI code page on Windows. Appends to out; false at the offset of
// the first character the system's code page lacks.
bool Utf8ToSystemText(std::string_view text, std::string& out, std::size_t& failedAt);
