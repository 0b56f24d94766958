#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// An encoding a target may name for its texts: one whose bytes 00 to 7F are ASCII and whose
// characters hold no zero byte, so that the program's delimiters, comments and line ends keep
// their meaning. Knows where its characters begin and end.
class CTextEncoding {
public:
    // Takes a name of the list, in any letter case and under its usual aliases; false for any
    // other name.
    bool SetName(std::string_view name);
    // The program's name for it: CP932, EUC-JP, CP936, GB18030, CP950, CP949, CP1250 to
    // CP1258, ISO-8859-1 to -16, KOI8-R or UTF-8.
    const std::string& Name() const { return m_name; }

    // The length of the character that begins at the byte, at most the bytes left; 1 for a
    // byte that begins none.
    std::size_t CharacterLength(const std::uint8_t* bytes, std::size_t left) const {
        const std::size_t length = m_lengths[bytes[0]];
        if (length == 1 || left < 2) return 1;
        // GB18030 tells four-byte characters by their second byte.
        if (m_fourByteByDigit && bytes[1] >= 0x30 && bytes[1] <= 0x39) return left < 4 ? left : 4;
        return length < left ? length : left;
    }
    // The longest start of the bytes, at most limit long, that ends at a character boundary.
    std::size_t BoundaryBefore(const std::uint8_t* bytes, std::size_t size, std::size_t limit) const;

private:
    std::string m_name;
    std::array<std::uint8_t, 256> m_lengths {};
    bool m_fourByteByDigit = false;
};
