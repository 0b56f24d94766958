#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conversion_threads.h"

class CCheckReport;
class CFile;
class CProgress;
class CTargetInfo;

// "Text => Binary": writes the data lines of the target's text file into records of its binary
// file, in place: consecutively from the start position, by the record index list, or, with
// firstColumnIsIndex, at the record number in each line's first column (then, with
// writeIndexList, also writing a record index list file of those numbers). The target's message
// holds the job title on entry and the outcome on return: empty after success, word 28 after a
// confirmed stop, the failure text otherwise. The binary file is open for writing, held against
// other writers; it stays open for the caller to close, with every record written handed to the
// system. Large files without quoting are converted in blocks across the machine's cores, to the
// same bytes and outcome.
bool ConvertToBinary(CTargetInfo& target, CFile& binary, bool firstColumnIsIndex, bool writeIndexList,
                     CProgress& progress, const CConversionThreads& threads = {});

// The dry run of "Text => Binary": tries every data line as ConvertToBinary would, writing
// nothing. Each line that would fail is reported with the run's failure text, and the lines
// after it are tried all the same; so are the text cells longer than their items, and the
// records that would be written. The binary file is read only for the bytes of fillers. The
// target's message holds the job title on entry and the outcome on return: empty when every
// line was tried, word 28 after a confirmed stop, the failure text otherwise.
bool DryRunToBinary(CTargetInfo& target, bool firstColumnIsIndex, CCheckReport& report, CProgress& progress);

// Builds a record from the fields of one data line; filler items keep the bytes the record
// buffer holds. Throws the failure text.
void LineToRecord(CTargetInfo& target, std::uint8_t* record, std::uint32_t recordSize,
                  const std::vector<std::string_view>& fields);

// The record index list file a run with writeIndexList writes: beside the text file, its name
// followed by "-BRecordIndexList.tsv".
std::string IndexListPath(const std::string& textPath);
// Writes the record numbers of the converted lines as that file, replacing it whole.
void WriteIndexList(CTargetInfo& target, const std::vector<std::uint32_t>& writtenIndices);
