#include "crypt/binary_file_crypt.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "crypt/code_table_pair.h"
#include "support/progress.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "support/paths.h"

namespace {
constexpr unsigned kInputMode = modeRead | shareDenyWrite | typeBinary;
constexpr unsigned kOutputMode = modeCreate | modeWrite | shareDenyWrite | typeBinary;
constexpr std::size_t kBlockSize = 256;

// The progress counts in 32 bits; beyond 4 GiB it stands at its end while the run goes on.
std::uint32_t ProgressBytes(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, std::numeric_limits<std::uint32_t>::max()));
}

// Substitutes every byte of the input into the output, block by block; true when the user
// stopped the run.
bool PassThrough(const CCodeTablePair& pair, int encrypt, const std::string& inputPath,
                 const std::string& outputPath, CProgress& progress) {
    const std::string& tableName = pair.Table(encrypt).m_name;
    if (IsNoFile(inputPath)) Fail(Word(wNotAFile) + "\r\n" + inputPath);
    CFile input;
    try {
        input.Open(inputPath, kInputMode);
    } catch (const CFileException& error) {
        Fail(tableName + SpaceWord(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }
    const std::uint64_t size = input.Length();
    if (size == 0) Fail(tableName + SpaceWord(wCantOpenFile) + "\r\n" + inputPath);
    input.Seek(0, CFile::begin);

    CFile output;
    try {
        output.Open(outputPath, kOutputMode);
    } catch (const CFileException& error) {
        Fail(WordPair(wPut, wFile) + SpaceWord(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
    }

    bool stopped = false;
    try {
        progress.Start(0, ProgressBytes(size), static_cast<std::int32_t>(kBlockSize),
                       tableName + " Binary" + SpaceWord(wFile), false);
        std::array<std::uint8_t, kBlockSize> block;
        std::uint64_t done = 0;
        while (done < size) {
            if (progress.PollCancel()) {
                stopped = true;
                break;
            }
            // Only the last block may be short; a file that shrinks under the run fails, and one
            // that grows is cut at the size the run started with.
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size - done));
            const std::size_t count = input.Read(block.data(), wanted);
            if (count != wanted) Fail(tableName + SpaceWord(wCantReadFile) + "\r\n" + inputPath);
            done += count;
            pair.Transform(block.data(), encrypt, count, block.data());
            output.Write(block.data(), count);
            if (progress.Update(ProgressBytes(done))) output.Flush();
        }
        output.Close();
    } catch (...) {
        // The new file of a failed run is removed; a stopped run keeps what it wrote.
        output.Discard();
        throw;
    }
    // Only read: a failure to close it loses nothing.
    input.Abort();
    return stopped;
}
} // namespace

std::string ConvertBinaryFile(const CCodeTablePair& pair, int encrypt, const std::string& path, CProgress& progress) {
    std::string result;
    try {
        const CCodeTable& table = pair.Table(encrypt);
        if (pair.m_ok == 0) return Word(wError) + " " + table.m_name;
        const std::string inputPath = NormalizePath(path, false);
        if (inputPath.empty()) return Word(wError) + SpaceWord(wFilePath) + "\r\n" + path;

        const std::string outputPath = PathStem(inputPath) + "-" + table.m_name +
                                       TimestampSuffix(false, true, true, true, true, true) + ".dat";
        const bool stopped = PassThrough(pair, encrypt, inputPath, outputPath, progress);
        result = WordPair(wPut, wFile) + " =\r\n" + MakeRelative(outputPath);
        if (stopped) result = WordThenSpace(wCanceled) + result;
    } catch (...) {
        result = Word(wError) + " " + FailureText();
    }
    progress.Close();
    return result;
}
