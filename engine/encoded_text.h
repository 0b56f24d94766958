#pragma once
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CLine;
class CNumberCodeTable;
class CRecordItem;
class CTextCodec;

// The number codes of one table as text items in a declared encoding use them: each code's
// bytes and its meaning (UTF-8), in the order of the codes, found by their first byte.
class CTextCodes {
public:
    explicit CTextCodes(const CNumberCodeTable& table);

    struct CCode {
        std::string bytes; // empty for code 0, which stands for nothing
        const std::string* meaning;
    };
    // The first code, in the table's order, whose bytes begin the bytes.
    const CCode* CodeAt(std::string_view bytes) const {
        if (!m_codeStarts[static_cast<std::uint8_t>(bytes[0])]) return nullptr;
        for (const CCode& code : m_codes)
            if (!code.bytes.empty() && bytes.starts_with(code.bytes)) return &code;
        return nullptr;
    }
    // The first code, in the table's order, whose meaning begins the text.
    const CCode* MeaningAt(std::string_view text) const {
        if (!m_meaningStarts[static_cast<std::uint8_t>(text[0])]) return nullptr;
        for (const CCode& code : m_codes)
            if (text.starts_with(*code.meaning)) return &code;
        return nullptr;
    }

private:
    std::vector<CCode> m_codes;
    std::bitset<256> m_codeStarts;
    std::bitset<256> m_meaningStarts;
};

// The cell of a text item's text (its bytes up to the first zero, "R" pairs already swapped),
// appended to the line: a code of the item's table that stands at character boundaries becomes
// its meaning, every other character is converted to UTF-8. Throws the failure text, naming the
// item, at bytes that are no character or a character that would not come back.
void DecodeText(const CTextCodec& codec, const CTextCodes* codes, const CRecordItem& item, std::string_view text,
                CLine& line);
// The reverse, into out: the meanings of the table become their codes, every other character is
// converted into the encoding. Throws the failure text, naming the item, at a character the
// encoding cannot express.
void EncodeText(const CTextCodec& codec, const CTextCodes* codes, const CRecordItem& item, std::string_view cell,
                std::string& out);
