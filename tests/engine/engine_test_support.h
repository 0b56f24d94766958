#pragma once
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "definition/target_info.h"
#include "engine/conversion_threads.h"
#include "platform/file.h"
#include "tests/common/scripted_progress.h"
#include "tests/common/test_support.h"

// The open modes the job driver gives the conversions.
constexpr unsigned kTextOutputMode = modeCreate | modeWrite | shareDenyWrite | typeText;
constexpr unsigned kBinaryOutputMode = modeCreate | modeNoTruncate | modeReadWrite | shareDenyWrite | typeBinary;

// Bytes from their values: Bytes({0x01, 0xFF}).
std::string Bytes(std::initializer_list<int> values);
// The bytes as two-digit hexadecimal numbers separated by blanks, for readable comparisons.
std::string Hex(const std::string& bytes);
// The bytes a code table file holds: entry i is 255 - i, its own inverse.
std::string ReversingTable();
// A code table file that is a permutation other than its own inverse: entry i is i + 77.
std::string ShiftingTable();
// The byte each table maps a byte to.
std::uint8_t Reversed(std::uint8_t byte);
std::uint8_t Shifted(std::uint8_t byte);

// What a test target is made of: the record definition, the record size and count, further
// [FileInfo] keys, and further files written into the environment's folder under their names.
struct CTargetSetup {
    CTargetSetup(std::string definitionText, int size, int count = 1)
        : definition(std::move(definitionText)), recordSize(size), recordCount(count) {}
    CTargetSetup& StartAt(int position) {
        startPosition = position;
        return *this;
    }
    CTargetSetup& Delimiter(std::string value) {
        delimiter = std::move(value);
        return *this;
    }
    CTargetSetup& Key(const std::string& key, const std::string& value) {
        extraKeys += key + "=" + value + "\r\n";
        return *this;
    }
    CTargetSetup& File(const std::string& name, std::string contents) {
        files[name] = std::move(contents);
        return *this;
    }

    std::string definition;
    int recordSize;
    int recordCount;
    int startPosition = 0;
    std::string delimiter = ",";
    std::string extraKeys;
    std::map<std::string, std::string> files;
};

// Writes the target's files and loads it; the binary and text files are data.bin and
// text.csv in the environment's folder.
::testing::AssertionResult LoadTarget(CTestEnvironment& env, CTargetInfo& target, const CTargetSetup& setup);

// A conversion run on the target's files as the job driver runs it: the output opened with the
// mode and closed after success; after a failure it keeps what was written, unless the run
// created it. An output that cannot be opened fails with the driver's text.
bool ConvertTargetToText(CTargetInfo& target, CProgress& progress, unsigned mode = kTextOutputMode,
                         const CConversionThreads& threads = {});
bool ConvertTargetToBinary(CTargetInfo& target, CProgress& progress, bool firstColumnIsIndex = false,
                           bool writeIndexList = false, unsigned mode = kBinaryOutputMode,
                           const CConversionThreads& threads = {});

// The file's bytes, or "" when it is missing.
std::string ReadFile(const std::string& path);
