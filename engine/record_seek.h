#pragma once
#include <cstdint>

class CFile;
class CTargetInfo;

// Whether the target's record index list decides which records a run converts.
bool UsesIndexList(const CTargetInfo& target);
// Whether records pass through the target's code tables.
bool UsesCodeTables(const CTargetInfo& target);

// The file position of the record, which must lie wholly before the data end; throws word 39
// otherwise.
std::uint64_t RecordPosition(const CTargetInfo& target, std::uint32_t recordIndex);
// The record named by the index list entry at the cursor, advancing the cursor; throws word 39
// for an entry that is no record number.
std::uint32_t NextIndexEntry(const CTargetInfo& target, std::uint32_t& cursor);
// Positions the binary file at the record; throws word 39 when it is no record of the file.
void SeekRecord(CTargetInfo& target, CFile& file, std::uint32_t recordIndex);
