#include "app/preview_text.h"

#include "app/preview_model.h"

namespace {
// Upper-case hexadecimal, at least the given number of digits.
std::string Hex(std::uint64_t value, std::size_t digits) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    return text;
}
}

std::string PreviewBytesText(const CPreviewRecord& record) {
    std::string text;
    for (std::size_t i = 0; i < record.bytes.size(); i += kPreviewBytesPerLine) {
        if (i > 0) text += '\n';
        text += Hex(record.position + i, 8) + ' ';
        for (std::size_t k = i; k < i + kPreviewBytesPerLine && k < record.bytes.size(); ++k)
            text += ' ' + Hex(record.bytes[k], 2);
    }
    return text;
}

std::string PreviewStatusText(const CPreviewModel& preview, const CPreviewRecord* selected) {
    if (!preview.Failure().empty()) return std::string();
    if (preview.RowCount() == 0) return "0 records";
    std::string status =
        std::to_string(preview.RowCount()) + " records, " + std::to_string(preview.RecordSize()) + " bytes each";
    if (!selected) return status;
    return status + "; record " + std::to_string(selected->number) + " at offset " +
           std::to_string(selected->position) + " (0x" + Hex(selected->position, 1) + ")";
}
