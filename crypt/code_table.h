#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/named_item.h"

class CFile;

constexpr std::size_t kCodeTableSize = 256;
using CodeTableBytes = std::array<std::uint8_t, kCodeTableSize>;

// A byte substitution read from a code table file: entry i is the byte that replaces value i.
// The table is usable (ok flag 1) only when it was read from its own file and checked; a table
// derived as the inverse of another holds data with the ok flag 0.
class CCodeTable : public CFileItem {
public:
    // Empties the table and frees its data; an empty name keeps the current one.
    void Reset(const std::string& name);
    // Reads the first 256 bytes of the file; a longer file is accepted.
    bool LoadFile(const std::string& path);
    // Fills out with the inverse table. Fails when a value repeats, naming the position of its
    // second occurrence in the message.
    bool BuildInverse(CodeTableBytes& out);
    // Replaces the data by a copy of the bytes; the ok flag stays as it is.
    void SetData(const CodeTableBytes& bytes);
    // Clears the ok flag and makes the message a note of the position and the table's path.
    void MarkPosition(unsigned position);

    bool HasData() const { return m_hasData; }
    // All zero while the table holds no data.
    const CodeTableBytes& Data() const { return m_data; }

protected:
    // Opens the table file for reading; throws CFileException when it cannot.
    virtual void OpenForReading(CFile& file, const std::string& fullPath);

private:
    // Embedded, so that loading and deriving a table never waits on the heap.
    CodeTableBytes m_data{};
    bool m_hasData = false;
};
