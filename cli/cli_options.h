#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/check_report.h"

// What the command line asks for.
struct CCliOptions {
    std::string home;            // empty: the executable's folder
    bool quiet = false;
    std::string command;         // info, preview, to-text, to-binary, check, decrypt, encrypt, invert, revert, help, version
    std::string target;          // --target FILE
    int slot = 0;                // --slot N, 0 when not given
    std::optional<std::string> binary;
    std::optional<std::string> text;
    bool noBackup = false;
    bool yes = false;
    bool indexColumn = false;
    bool writeIndexList = false;
    unsigned threads = 0;        // --threads N; 0 when not given: one per core for large files
    std::size_t limit = CCheckReport::kDefaultLimit; // check: problem lines shown
    std::string from;            // invert: decrypt or encrypt
    std::uint32_t firstRow = 1;  // preview: --from K, counted from 1
    std::uint32_t rowCount = 20; // preview: --count N
    bool hex = false;            // preview: --hex
    std::string revertFile;
};

// Reads the arguments; false with a reason for a usage error.
bool ParseCommandLine(const std::vector<std::string>& arguments, CCliOptions& options, std::string& error);

extern const char* const kCliUsage;
