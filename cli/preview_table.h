#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CPreviewModel;

// The columns a UTF-8 text takes on a terminal: two for an East Asian wide or full-width
// character, none for a combining mark, one for any other character (and for a byte that is
// no UTF-8).
std::size_t DisplayWidth(std::string_view text);

// The rows of the preview from the row numbered from (counted from 1), count of them, as a
// table for a terminal: the header, then one line per record with its cells aligned, marked
// cells followed by '*', a failing record with its failure; with hex, each record's bytes
// under it, grouped by item. Lines end in LF.
std::string PreviewTable(CPreviewModel& model, std::uint32_t from, std::uint32_t count, bool hex);

// The same rows as Binary => Text writes them: the header line, then a line per record, each
// ending in CR LF; with hex, each record's bytes follow it on a comment line. Stops before the
// first record that Binary => Text would fail, and gives its failure in failure.
std::string PreviewLines(CPreviewModel& model, std::uint32_t from, std::uint32_t count, bool hex,
                         std::string& failure);
