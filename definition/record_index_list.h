#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/table_file_reader.h"

// Which record of the binary file each data line of a text file belongs to.
class CRecordIndexList : public CTableFileReader {
public:
    static constexpr std::uint32_t kNoEntry = 0xFFFFFFFFu;

    void Reset();
    bool Load(const std::string& path);
    // Entry i, or kNoEntry after an error box when there is no such entry.
    std::uint32_t EntryAt(std::uint32_t i) const;
    std::size_t EntryCount() const { return m_entries.size(); }

    int m_basePoint = 0;                   // whether the file counts records from 0 or from 1
    std::vector<std::uint32_t> m_entries; // zero-based record indexes, in file order
};
