#pragma once
#include <cstdint>
#include <string>

#include "engine/record_preview.h"

class CPreviewModel;

// The preview windows' texts, the same in every window system.

constexpr std::uint32_t kPreviewBytesPerLine = 16;

// The backgrounds of cells whose bytes would not come back, and of records that would fail.
struct CPreviewColour {
    int red, green, blue;
};
constexpr CPreviewColour kMarkedCellColour {255, 224, 160};
constexpr CPreviewColour kFailedRecordColour {255, 200, 200};

// The record's bytes as lines of 16 in hexadecimal, each after its file offset, lines ending
// in '\n': "00000006  02 00 00 00 EC FF".
std::string PreviewBytesText(const CPreviewRecord& record);
// The status line: the record count and size, and where the selected record lies when there is
// one; empty while the preview shows a failure.
std::string PreviewStatusText(const CPreviewModel& preview, const CPreviewRecord* selected);
