#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "definition/target_info.h"
#include "platform/file.h"

// The open modes the job driver gives the conversions' output files.
constexpr unsigned kTextOutputMode = modeCreate | modeWrite | shareDenyWrite | typeText;
constexpr unsigned kBinaryUpdateMode = modeReadWrite | shareDenyWrite | modeNoTruncate | typeBinary;

// Records of at most this many bytes in all are converted, so that every input runs quickly.
constexpr std::size_t kMaxConvertedBytes = 64 * 1024;

// The input of a conversion target: one options byte, then the parts between separator lines:
// the record definition, the data (text or binary), and optionally a number-code file
// "codes.tsv" and a record index list "index.tsv".
struct CConversionInput {
    bool tabDelimiter = false; // bit 0; else ","
    bool codeTables = false;   // bit 1: records pass through a pair of code tables
    bool indexList = false;    // bit 2: records in the order of the index list
    int startPosition = 0;     // bits 3-4
    int recordCount = 1;       // bits 5-7, plus 1
    std::string_view definition;
    std::string_view data;
};

// Reads the options and writes the definition and the other files of the target into the fuzz
// folder; false for an input without a data part.
bool WriteConversionFiles(const std::uint8_t* data, std::size_t size, CConversionInput& input);

// Loads the target of the files written, with the record size of its definition, and reports
// whether it is ready to convert. Its binary file is "data.bin" and its text file "text.csv" in
// the fuzz folder, both with full paths.
bool LoadConversionTarget(CTargetInfo& target, const CConversionInput& input);

// A conversion run as the job driver runs it: the output opened with the mode, closed after
// success, and after a failure removed when the run created it.
bool ConvertToTextFile(CTargetInfo& target, const std::string& path);
bool ConvertToBinaryFile(CTargetInfo& target, const std::string& path, bool firstColumnIsIndex, bool writeIndexList);
