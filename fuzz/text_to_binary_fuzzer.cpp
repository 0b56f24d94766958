// "Text => Binary" of any text under any record definition. The input is the options byte of a
// conversion input (fuzz/conversion_target.h), a second byte (bit 0: the first column is the
// record number; bit 1: a record index list of those numbers is written; bit 2: cells may stand in
// quotes, as with TextQuoting=1), then the definition, a separator line and the text file,
// optionally followed by the number-code and index list files.
#include <cstdint>
#include <string>

#include "vocabulary/messages.h"
#include "definition/record_index_list.h"
#include "engine/text_to_binary.h"
#include "fuzz/conversion_target.h"
#include "fuzz/fuzz_support.h"
#include "support/paths.h"

namespace {

// The binary file before the conversion: records of recognisable bytes with a few more after
// the data end.
std::string BinaryBefore(const CFileInfoSection& info) {
    std::string bytes(info.m_dataEnd + 3, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 + 11);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool firstColumnIsIndex = data[1] & 1u;
    const bool writeIndexList = firstColumnIsIndex && (data[1] & 2u);
    // The options byte stays in front of the rest.
    std::string input(1, static_cast<char>(data[0]));
    input.append(reinterpret_cast<const char*>(data) + 2, size - 2);
    CConversionInput parts;
    if (!WriteConversionFiles(reinterpret_cast<const std::uint8_t*>(input.data()), input.size(), parts)) return 0;
    WriteFuzzFile("text.csv", parts.data);
    CTargetInfo target;
    if (!LoadConversionTarget(target, parts)) return 0;
    target.m_fileInfo.m_textQuoting = data[1] & 4u;

    const CFileInfoSection& info = target.m_fileInfo;
    const std::string before = BinaryBefore(info);
    WriteFuzzFile("data.bin", before);
    const std::string listPath = IndexListPath(info.m_textFilePath);
    RemoveFuzzFile(PathPart(listPath, partNameExtension));
    const bool converted = ConvertToBinaryFile(target, info.m_binaryFilePath, firstColumnIsIndex, writeIndexList);

    // Records are written in place: nothing before the start position or after the data end
    // changes, and the file keeps its length.
    const std::string after = ReadFuzzFile("data.bin");
    Require(after.size() == before.size(), "the binary file keeps its length");
    const auto start = static_cast<std::size_t>(info.m_startPosition);
    Require(after.compare(0, start, before, 0, start) == 0, "the bytes before the start position stay");
    Require(after.compare(info.m_dataEnd, std::string::npos, before, info.m_dataEnd) == 0,
            "the bytes after the data end stay");

    Require(FileExists(listPath) == (converted && writeIndexList), "an index list is written after success when asked");
    CRecordIndexList list;
    if (FileExists(listPath) && !list.Load(listPath))
        Require(list.m_message.ends_with(WordPair(wSum, wCount0)), "a written index list loads unless it is empty");
    for (const std::uint32_t entry : list.m_entries)
        Require(entry < static_cast<std::uint32_t>(info.m_recordCount), "the index list names records");
    return 0;
}
