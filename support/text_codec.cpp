#include "support/text_codec.h"

#include <cstdio>
#include <map>
#include <memory>

#include "support/value_conversions.h"
#include "vocabulary/messages.h"

namespace {
// The code point of one UTF-8 character, which the platform has made.
std::uint32_t CodePoint(std::string_view text) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    switch (text.size()) {
    case 1: return byte(0);
    case 2: return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    case 3: return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    default: return (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 | (byte(3) & 0x3Fu);
    }
}

// Converts a whole text a character at a time, appended to out; false with the offset of the
// first character the conversion refuses. No character gives more than 4 bytes a byte.
template <typename Convert>
bool ConvertAll(std::string_view input, std::string& out, std::size_t& failedAt, Convert convert) {
    const std::size_t start = out.size();
    out.resize(start + 4 * input.size());
    char* to = out.data() + start;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t length = convert(input.data() + at, input.size() - at, to);
        if (length == 0) break;
        at += length;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    failedAt = at;
    return at == input.size();
}

// The length of the UTF-8 character at the text, or 0 when its bytes are none.
std::size_t Utf8Length(const char* text, std::size_t left) {
    const auto c = static_cast<std::uint8_t>(text[0]);
    std::size_t length = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) length = 3;
    else if (c >= 0xF0 && c <= 0xF4) length = 4;
    if (length == 0 || length > left) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<std::uint8_t>(text[k]) & 0xC0) != 0x80) return 0;
    return length;
}
}

const CTextCodec* CTextCodec::Find(std::string_view name) {
    CTextEncoding encoding;
    if (!encoding.SetName(name)) return nullptr;
    static std::mutex making;
    static std::map<std::string, std::unique_ptr<CTextCodec>> made;
    const std::lock_guard<std::mutex> guard(making);
    std::unique_ptr<CTextCodec>& codec = made[encoding.Name()];
    if (!codec) {
        std::unique_ptr<CTextCodec> fresh(new CTextCodec);
        if (!fresh->Make(encoding.Name())) return nullptr;
        codec = std::move(fresh);
    }
    return codec.get();
}

bool CTextCodec::Make(const std::string& name) {
    if (!m_encoding.SetName(name) || !m_page.Open(m_encoding.Name())) return false;
    m_codes.assign(0x10000, 0);
    m_double.assign(256, kLong);
    for (int b = 1; b < 256; ++b) {
        const auto lead = static_cast<std::uint8_t>(b);
        const std::uint8_t probe[4] = {lead, 0x40, 0x40, 0x40};
        if (m_encoding.CharacterLength(probe, 4) != 2) {
            m_single[b] = Entry(std::string_view(reinterpret_cast<const char*>(&lead), 1), lead);
            continue;
        }
        // A lead byte alone is no character.
        m_leadRows[b] = static_cast<std::uint16_t>(m_double.size() / 256);
        m_double.push_back(0);
        for (int trail = 1; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(b), static_cast<char>(trail)};
            const std::uint8_t bytes[4] = {lead, static_cast<std::uint8_t>(trail), 0x30, 0x81};
            m_double.push_back(m_encoding.CharacterLength(bytes, 4) != 2
                                   ? kLong
                                   : Entry(std::string_view(pair, 2), static_cast<std::uint16_t>(b << 8 | trail)));
        }
    }
    m_asciiIsItself = true;
    for (std::uint32_t b = 1; b < 0x80; ++b) m_asciiIsItself = m_asciiIsItself && m_single[b] == (b | 1u << kSizeShift);
    return true;
}

std::uint32_t CTextCodec::Entry(std::string_view bytes, std::uint16_t code) {
    std::string text;
    std::size_t failedAt = 0;
    if (!m_page.ToSystem(bytes, text, failedAt) || text.empty()) return 0;
    if (text.size() > 3) return kLong;
    std::string back;
    const bool kept = m_page.FromSystem(text, back, failedAt) && back == bytes;
    std::uint32_t entry = static_cast<std::uint32_t>(text.size()) << kSizeShift;
    for (std::size_t k = 0; k < text.size(); ++k) entry |= std::uint32_t {static_cast<std::uint8_t>(text[k])} << (8 * k);
    if (!kept) return entry | kNotKept;
    std::uint16_t& known = m_codes[CodePoint(text)];
    if (known == 0) known = code;
    return entry;
}

std::size_t CTextCodec::DecodeLong(const std::uint8_t* bytes, std::size_t length, bool strict, char*& out,
                                   CodecFault& fault) const {
    const std::string_view character(reinterpret_cast<const char*>(bytes), length);
    std::string text, back;
    std::size_t failedAt = 0;
    bool valid = false, kept = false;
    {
        const std::lock_guard<std::mutex> guard(m_pageInUse);
        valid = m_page.ToSystem(character, text, failedAt) && !text.empty() && text.size() <= 4;
        kept = valid && (!strict || (m_page.FromSystem(text, back, failedAt) && back == character));
    }
    if (!kept) {
        fault = valid ? CodecFault::notKept : CodecFault::notACharacter;
        return 0;
    }
    out = std::copy(text.begin(), text.end(), out);
    return length;
}

std::size_t CTextCodec::EncodeLong(const char* text, std::size_t left, char*& out, CodecFault& fault) const {
    const std::size_t length = Utf8Length(text, left);
    if (length == 0) {
        fault = CodecFault::notUtf8;
        return 0;
    }
    const std::string_view character(text, length);
    std::string bytes, back;
    std::size_t failedAt = 0;
    bool kept = false;
    {
        const std::lock_guard<std::mutex> guard(m_pageInUse);
        kept = m_page.FromSystem(character, bytes, failedAt) && !bytes.empty() && bytes.size() <= 4 &&
               bytes.find('\0') == std::string::npos && m_page.ToSystem(bytes, back, failedAt) && back == character;
    }
    if (!kept) {
        fault = CodecFault::notExpressible;
        return 0;
    }
    out = std::copy(bytes.begin(), bytes.end(), out);
    return length;
}

bool CTextCodec::ReadAll(std::string_view bytes, std::string& out, std::size_t& failedAt, CodecFault& fault) const {
    return ConvertAll(bytes, out, failedAt, [&](const char* at, std::size_t left, char*& to) {
        return DecodeCharacter<false>(reinterpret_cast<const std::uint8_t*>(at), left, to, fault);
    });
}

bool CTextCodec::EncodeAll(std::string_view text, std::string& out, std::size_t& failedAt, CodecFault& fault) const {
    return ConvertAll(text, out, failedAt,
                      [&](const char* at, std::size_t left, char*& to) { return Encode(at, left, to, fault); });
}

std::string CTextCodec::FaultText(CodecFault fault, std::string_view text, std::size_t at, std::size_t shown) const {
    const bool utf8 = fault == CodecFault::notUtf8 || fault == CodecFault::notExpressible;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data()) + at;
    std::size_t length = utf8 ? Utf8Length(text.data() + at, text.size() - at)
                              : m_encoding.CharacterLength(bytes, text.size() - at);
    if (length == 0) length = 1;
    const int word = fault == CodecFault::notKept ? wNotKept : fault == CodecFault::notExpressible ? wNotExpressible
                                                                                                  : wNotACharacter;
    std::string words = Word(word) + " (" + (fault == CodecFault::notUtf8 ? std::string("UTF-8") : Name()) + "), " +
                        Word(wByte) + " " + std::to_string(shown) + ": " + HexText(bytes, length);
    // A character the encoding lacks is also shown as itself, with its code point.
    if (fault == CodecFault::notExpressible) {
        char point[16];
        std::snprintf(point, sizeof point, "U+%04X", static_cast<unsigned>(CodePoint(text.substr(at, length))));
        words += " \"" + std::string(text.substr(at, length)) + "\" (" + point + ")";
    }
    return words;
}
