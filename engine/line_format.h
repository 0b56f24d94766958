#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/encoded_text.h"

class CNumberCodeSet;
class CRecordItem;
class CTargetInfo;
class CTextCodec;

// The line of one record, built in place: cells are written straight into its storage, which
// grows only while lines get longer.
class CLine {
public:
    const char* Data() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    // Room for more bytes at the end; Commit says where the bytes written there end.
    char* Reserve(std::size_t more) {
        if (m_capacity - m_size < more) Grow(more);
        return m_data.get() + m_size;
    }
    void Commit(const char* end) { m_size = static_cast<std::size_t>(end - m_data.get()); }
    void Truncate(std::size_t size) { m_size = size; }
    void Append(std::string_view text) {
        std::memcpy(Reserve(text.size()), text.data(), text.size());
        m_size += text.size();
    }

private:
    void Grow(std::size_t more) {
        const std::size_t capacity = std::max(2 * m_capacity, m_size + more + 64);
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// How the records of a target become lines, prepared once from its definition so that each
// record needs only its values: the cells of every item with their byte positions, the longest
// line they can give, and the meanings of the number codes by code.
class CLineFormat {
public:
    explicit CLineFormat(const CTargetInfo& target);

    // False when the definition has a numeric item that cannot be read, or gives no cell.
    bool Usable() const { return m_usable; }
    // With quoting, the cells that need quotes stand in them. Throws the failure text of a text
    // item whose bytes its declared encoding cannot convert.
    void Format(const std::uint8_t* record, CLine& line, std::string& scratch) const;
    // The same, appended to the line.
    void Append(const std::uint8_t* record, CLine& line, std::string& scratch) const;
    // The line with its cells as they are, never quoted, noting where each of them starts in it.
    void FormatMarked(const std::uint8_t* record, CLine& line, std::string& scratch,
                      std::vector<std::size_t>& cellStarts) const;
    const std::string& Delimiter() const { return m_delimiter; }
    bool Quoting() const { return m_quoting; }

private:
    enum StepKind : std::uint8_t { stepText, stepReplacedText, stepEncodedText, stepUnsigned, stepSigned, stepBitFields };

    struct CStep {
        std::uint32_t offset;
        std::uint32_t length;
        StepKind kind;
        bool normal; // read direction "N"
        std::uint32_t bits;
        std::uint32_t fields;
        const CRecordItem* item;
    };

    // The meanings of one table by code, when its codes lie close enough together for a list.
    struct CMeaningList {
        std::int64_t lowest = 0;
        std::vector<const std::string*> meanings; // empty: look the code up in the table
    };

    // One body for all: the marks and the quotes cost the plain line nothing. Appends.
    template <bool kMark, bool kQuote>
    void FormatLine(const std::uint8_t* record, CLine& line, std::string& scratch,
                    std::vector<std::size_t>* cellStarts) const;
    char* QuoteIfNeeded(CLine& line, std::size_t start, char* end, std::string& scratch) const;
    char* PutNumber(char* out, int slot, std::uint32_t value, bool isSigned) const;
    // Appends the cell of a text item in the declared encoding.
    void PutEncodedText(const CStep& step, const std::uint8_t* bytes, CLine& line, std::string& scratch) const;
    const std::string* FindMeaning(int slot, std::int32_t code) const;
    std::size_t LongestCell(int slot) const;

    const CNumberCodeSet& m_codes;
    std::string m_delimiter;
    bool m_quoting;
    std::vector<CStep> m_steps;
    std::vector<CMeaningList> m_meaningLists; // by table index
    std::vector<std::size_t> m_longestMeanings; // by table index
    std::size_t m_longestLine = 0; // without the texts that code replacement or an encoding makes
    const CTextCodec* m_codec; // the text items' declared encoding, or none
    std::vector<CTextCodes> m_textCodes; // by table index, with an encoding
    bool m_usable = false;
};

// The value of a numeric item of 1 to 4 bytes: "N" stores the most significant byte first (and
// reverses the bits of a single byte), "R" the least significant first.
std::uint32_t ReadValue(const std::uint8_t* bytes, std::uint32_t length, bool normal);
// Where the text of a text item ends: its bytes from there on are not part of its cell.
std::size_t TextEnd(const std::uint8_t* bytes, std::uint32_t length, bool normal);
