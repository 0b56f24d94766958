#pragma once
#include <cstdint>

class CFile;
class CTargetInfo;

// Whether the target's record index list decides which records a run converts.
bool UsesIndexList(const CTargetInfo& target);
// Whether records pass through the target's code tables.
bool UsesCodeTables(const CTargetInfo& target);

// Positions the binary file at the record, which must lie wholly before the data end; throws
// word 39 otherwise.
void SeekRecord(CTargetInfo& target, CFile& file, std::uint32_t recordIndex);
// Positions the binary file at the record named by the index list entry at the cursor and
// advances the cursor; throws word 39 for an entry that is no record number.
void SeekIndexEntry(CTargetInfo& target, CFile& file, std::uint32_t& cursor);
