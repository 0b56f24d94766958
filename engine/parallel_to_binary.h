#pragma once
#include <cstdint>
#include <vector>

class CFile;
class CProgress;
class CTargetInfo;
class CTextRecords;

// The records of a Text => Binary run over a text file without quoting: its lines split and
// built in blocks on worker threads, and written in order, the same bytes as one line after the
// other. A failing line ends the run after the records before it, with the failure and line
// note of a sequential run; a confirmed stop ends it after the block written last. The record
// numbers written are added to writtenIndices when given. Returns the records written; the
// line note is left after the last line read, as reading line by line leaves it. Throws the
// failure text.
std::uint32_t WriteRecordsInParallel(CTargetInfo& target, CTextRecords& records, CFile& binary, bool firstColumnIsIndex,
                                     std::vector<std::uint32_t>* writtenIndices, unsigned workers,
                                     std::uint32_t blockRecords, CProgress& progress);
