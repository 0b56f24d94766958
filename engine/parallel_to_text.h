#pragma once
#include <cstdint>

class CBinaryRecords;
class CFile;
class CLineFormat;
class CProgress;

// The lines of the records of a Binary => Text run, after its header line, converted in blocks
// on worker threads and written in order: the same bytes as one line after the other. A failing
// record ends the run after the lines before it, with the note of a sequential run; a confirmed
// stop ends it after the block written last. The text file gets "\r\n" line ends as they are;
// with expandLineFeeds, also for the LF bytes inside the lines, as a text-mode file writes them.
// Throws the failure text, with the records' number set for its note.
void WriteLinesInParallel(CBinaryRecords& records, const CLineFormat& format, CFile& text, bool expandLineFeeds,
                          unsigned workers, std::uint32_t blockRecords, CProgress& progress);
