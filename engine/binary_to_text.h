#pragma once
#include <cstdint>
#include <string>

#include "engine/conversion_threads.h"

class CFile;
class CProgress;
class CTargetInfo;

// "Binary => Text": converts the records of the target's binary file, consecutively from the
// start position or in the order of the record index list, into the lines of its text file,
// after the header line. The target's message holds the job title on entry and the outcome on
// return: empty after success, word 28 after a confirmed stop, the failure text otherwise. The
// text file is open for writing, held against other writers; it stays open for the caller to
// close (or to discard after a failure), with every line written handed to the system. Large
// files are converted in blocks across the machine's cores, to the same bytes and outcome.
bool ConvertToText(CTargetInfo& target, CFile& text, CProgress& progress, const CConversionThreads& threads = {});

// Turns one (decrypted) record into its cells joined by the text delimiter, without line end.
// False when a numeric item cannot be read or the record gives no cell.
bool RecordToLine(CTargetInfo& target, const std::uint8_t* record, std::string& line);
