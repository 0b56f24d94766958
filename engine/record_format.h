#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/encoded_text.h"

class CNumberCodeSet;
class CRecordItem;
class CTargetInfo;
class CTextCodec;

// A text cell longer than its item: only the bytes that fit are written.
struct CCutCell {
    const CRecordItem* item;
    std::size_t length; // the cell's bytes, after code replacement
    std::size_t kept;
};

// How the fields of a line become a record, prepared once from the target's definition: the
// byte positions and kinds of the items, and the codes of the number-code tables by meaning.
class CRecordFormat {
public:
    CRecordFormat(const CTargetInfo& target, std::uint32_t recordSize);

    // Builds the record; filler items keep the bytes the buffer holds. Throws the failure text.
    void Build(std::uint8_t* record, const std::vector<std::string_view>& fields, std::string& scratch) const;
    // Copies the bytes of the filler items, which Build leaves as they are, from another record.
    void CopyFillers(std::uint8_t* record, const std::uint8_t* from) const;
    // Adds the text cells of fields that Build took which are longer than their items.
    void FindCuts(const std::vector<std::string_view>& fields, std::string& scratch, std::vector<CCutCell>& cuts) const;

private:
    enum StepKind : std::uint8_t { stepText, stepEncodedText, stepWholeUnsigned, stepNumber, stepFailure };

    struct CStep {
        std::uint32_t offset;
        std::uint32_t length;
        StepKind kind;
        bool normal;    // read direction "N"
        bool fieldsFit; // the bit fields fit the item's bits
        int failure;    // the word a failure step raises
        const CRecordItem* item;
    };

    // MeaningToCode of the number-code set, looked up by hash.
    bool FindCode(int slot, std::string_view meaning, std::int32_t& code) const;
    // The bytes of a text cell in the declared encoding, into scratch, and how many of them the
    // item keeps: those that fit, cut at a character boundary.
    std::size_t EncodeCell(const CRecordItem& item, std::string_view field, std::string& scratch) const;
    // ParseCode of the number-code set: a meaning of the slot's table or a number, that fits the item.
    std::int32_t ParseField(std::string_view field, int slot, std::uint32_t length, int conversionType) const;

    struct CFiller {
        std::uint32_t offset;
        std::uint32_t length;
    };

    struct CTextColumn {
        const CRecordItem* item;
        std::uint32_t column;
    };

    const CNumberCodeSet& m_codes;
    std::size_t m_columnCount;
    std::vector<CStep> m_steps;
    std::vector<CFiller> m_fillers;
    std::vector<CTextColumn> m_textColumns; // the text items and their columns
    // By table index: the code of each meaning, the lowest code where several share one.
    std::vector<std::unordered_map<std::string_view, std::int32_t>> m_codesByMeaning;
    bool m_walksToSize = false;
    const CTextCodec* m_codec; // the text items' declared encoding, or none
    std::vector<CTextCodes> m_textCodes; // by table index, with an encoding
};
