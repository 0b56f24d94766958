#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/quoted_cells.h"
#include "engine/line_format.h"
#include "engine/record_format.h"

class CCheckReport;
class CTargetInfo;

// One record's way to its line and back, through the formats the conversions use.
class CRoundTrip {
public:
    explicit CRoundTrip(CTargetInfo& target);

    bool Usable() const { return m_lineFormat.Usable(); }
    // Whether the record, as stored and as converted, comes back as it is stored.
    bool ComesBack(const std::uint8_t* stored, const std::uint8_t* record);
    // Reports the record that ComesBack found changing or failing, after its note.
    void Report(const std::string& note, const std::uint8_t* stored, const std::uint8_t* record,
                CCheckReport& report);
    // Marks, by item of the definition, the items whose bytes would not come back or whose cells
    // would not read back as themselves: none when the record comes back, or when Binary => Text
    // itself fails it.
    void MarkItems(const std::uint8_t* stored, const std::uint8_t* record, std::vector<char>& marked);

private:
    enum Outcome { changed, notText, notOneLine, notData, failed };

    // An item that would not come back: its changed bytes (all of them when the record was not
    // rebuilt) and the reasons found.
    struct CItemChange {
        std::size_t item;
        std::size_t first, last;
        unsigned reasons;
    };

    // The items of the record that ComesBack found changing or failing, into m_changes.
    void FindItemChanges(const std::uint8_t* stored, const std::uint8_t* record);
    // The record after the round trip, as stored; none when it was not rebuilt.
    const std::uint8_t* Back() const;

    // Splits a line of quoted cells as the reader would; false when its quotes would not close.
    bool SplitQuoted(std::string_view line);

    CTargetInfo& m_target;
    const CLineFormat m_lineFormat;
    const std::size_t m_recordSize;
    const CRecordFormat m_recordFormat;
    const bool m_encrypt;
    std::unique_ptr<std::uint8_t[]> m_copy;       // the record after the round trip
    std::unique_ptr<std::uint8_t[]> m_copyStored; // and encrypted
    CLine m_line;
    std::string m_scratch;
    std::string m_unquoted; // the line, its quotes removed as the reader removes them
    CQuotedRecord m_quoted;
    std::vector<std::string_view> m_fields;
    std::vector<std::size_t> m_cellStarts;
    std::vector<CItemChange> m_changes;
    Outcome m_outcome = changed;
    std::string m_failure;
};

