#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "support/text_encoding.h"

// Why a character could not be converted.
// Why a character could not be converted: bytes that are no character of the encoding, a
// character whose bytes would not come back, a text's bytes that are no UTF-8, a character of a
// text that the encoding lacks.
enum class CodecFault { none, notACharacter, notKept, notUtf8, notExpressible };

// Converts the text items of a binary, one character at a time, between their encoding and
// UTF-8 (the text files'), strictly: a byte sequence that is no character, or a character that
// would not come back as the same bytes (a code page's duplicates), is refused, as is a text
// character the encoding cannot express. The one- and two-byte characters are looked up in
// tables made once from the platform's conversions, since calling them per cell would cost
// more than the rest of a conversion; longer characters go to the platform each time.
class CTextCodec {
public:
    // The codec of an encoding of the list, made on first use and shared, read-only, for the
    // rest of the run; null for a name not on the list, or one the platform cannot convert.
    static const CTextCodec* Find(std::string_view name);

    const CTextEncoding& Encoding() const { return m_encoding; }
    const std::string& Name() const { return m_encoding.Name(); }

    // Converts the character at the bytes (left of them, none zero) into UTF-8 at out, which
    // has room for 4 bytes, and advances out. Returns the character's length, or 0 with the fault.
    std::size_t Decode(const std::uint8_t* bytes, std::size_t left, char*& out, CodecFault& fault) const {
        return DecodeCharacter<true>(bytes, left, out, fault);
    }
    // The whole of a text read from the target's own files, appended to out. These are only
    // read, so a duplicate character is taken as its text. False with the offset and fault of
    // the first bytes that are no character.
    bool ReadAll(std::string_view bytes, std::string& out, std::size_t& failedAt, CodecFault& fault) const;

    // Converts the UTF-8 character at the text (left bytes of it) into the encoding at out, which
    // has room for 4 bytes, and advances out. Returns the character's length in the text, or 0
    // with the fault: notUtf8 or notExpressible.
    std::size_t Encode(const char* text, std::size_t left, char*& out, CodecFault& fault) const {
        const auto c = static_cast<std::uint8_t>(text[0]);
        if (c < 0x80 && m_asciiIsItself) {
            *out++ = text[0];
            return 1;
        }
        std::uint32_t point = 0;
        std::size_t length = 0;
        const auto follows = [&](std::size_t k) { return (static_cast<std::uint8_t>(text[k]) & 0xC0) == 0x80; };
        if (c >= 0xC2 && c <= 0xDF && left >= 2 && follows(1)) {
            point = (c & 0x1Fu) << 6 | (static_cast<std::uint8_t>(text[1]) & 0x3Fu);
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF && left >= 3 && follows(1) && follows(2)) {
            point = (c & 0x0Fu) << 12 | (static_cast<std::uint8_t>(text[1]) & 0x3Fu) << 6 |
                    (static_cast<std::uint8_t>(text[2]) & 0x3Fu);
            length = 3;
        }
        const std::uint16_t code = length > 0 ? m_codes[point] : 0;
        if (code == 0) return EncodeLong(text, left, out, fault);
        if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code);
        return length;
    }

    // The whole of a text, converted with Encode (appended to out); false with the offset and
    // fault of the first character that fails.
    bool EncodeAll(std::string_view text, std::string& out, std::size_t& failedAt, CodecFault& fault) const;

    // "Not a character (CP932), Byte 4: 81 7F": the words of the fault of the character at the
    // offset in the text (the encoded bytes, or the UTF-8 text for the faults of Encode), after
    // their subject; shown is the offset the user is told.
    std::string FaultText(CodecFault fault, std::string_view text, std::size_t at, std::size_t shown) const;

    CTextCodec(const CTextCodec&) = delete;
    CTextCodec& operator=(const CTextCodec&) = delete;

private:
    CTextCodec() = default;
    template <bool kStrict>
    std::size_t DecodeCharacter(const std::uint8_t* bytes, std::size_t left, char*& out, CodecFault& fault) const {
        if (bytes[0] < 0x80 && m_asciiIsItself) {
            *out++ = static_cast<char>(bytes[0]);
            return 1;
        }
        const std::size_t length = m_encoding.CharacterLength(bytes, left);
        std::uint32_t entry = kLong;
        if (length == 1) entry = m_single[bytes[0]];
        else if (length == 2) entry = m_double[m_leadRows[bytes[0]] * 256 + bytes[1]];
        if (entry == kLong) return DecodeLong(bytes, length, kStrict, out, fault);
        const std::uint32_t size = entry >> kSizeShift & 3;
        if (size == 0 || (kStrict && (entry & kNotKept))) {
            fault = size == 0 ? CodecFault::notACharacter : CodecFault::notKept;
            return 0;
        }
        out[0] = static_cast<char>(entry);
        out[1] = static_cast<char>(entry >> 8);
        out[2] = static_cast<char>(entry >> 16);
        out += size;
        return length;
    }
    bool Make(const std::string& name);
    // A table entry: up to three bytes of UTF-8, their count, and whether the bytes come back.
    std::uint32_t Entry(std::string_view bytes, std::uint16_t code);
    std::size_t DecodeLong(const std::uint8_t* bytes, std::size_t length, bool strict, char*& out,
                           CodecFault& fault) const;
    std::size_t EncodeLong(const char* text, std::size_t left, char*& out, CodecFault& fault) const;

    static constexpr unsigned kSizeShift = 24;
    static constexpr std::uint32_t kNotKept = 1u << 28;
    static constexpr std::uint32_t kLong = 0xFFFFFFFF; // for the platform to convert

    CTextEncoding m_encoding;
    bool m_asciiIsItself = false;
    std::uint32_t m_single[256] {};
    // The row of m_double for each lead byte of two-byte characters; row 0, for every other
    // byte, sends a cut-off longer character to the platform.
    std::uint16_t m_leadRows[256] {};
    std::vector<std::uint32_t> m_double;
    std::vector<std::uint16_t> m_codes; // by code point of the Basic Multilingual Plane: the bytes, 0 for none
    CCodePage m_page;
    mutable std::mutex m_pageInUse; // the platform's converters keep state between calls
};

