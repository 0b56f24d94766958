#pragma once
#include <cstdint>
#include <string>

class CProgress;
class CTargetInfo;

// "Binary => Text": converts the records of the target's binary file, consecutively from the
// start position or in the order of the record index list, into the lines of its text file,
// after the header line. The target's message holds the job title on entry and the outcome on
// return: empty after success, word 28 after a confirmed stop, the failure text otherwise.
bool ConvertToText(CTargetInfo& target, unsigned outputMode, CProgress& progress);

// Turns one (decrypted) record into its cells joined by the text delimiter, without line end.
// False when a numeric item cannot be read or the record gives no cell.
bool RecordToLine(CTargetInfo& target, const std::uint8_t* record, std::string& line);
