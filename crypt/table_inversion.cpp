#include "crypt/table_inversion.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "crypt/code_table_pair.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "support/paths.h"

namespace {
constexpr unsigned kOutputMode = modeCreate | modeWrite | shareDenyWrite | typeBinary;
}

std::string WriteInverse(const CCodeTablePair& pair, int fromEncryptTable) {
    try {
        // A copy, so that resolving the path leaves the pair's table as it is.
        CCodeTable source = pair.Table(fromEncryptTable);
        const std::string sourcePath = source.FullPath();
        // A derived table has no file of its own and so no path.
        if (pair.m_ok == 0 || sourcePath.empty() || ClassifyFilePath(sourcePath) != 15)
            return Word(wError) + " " + pair.m_name;

        const std::string outputPath = PathStem(sourcePath) + "-" + Word(wReverse) +
                                       TimestampSuffix(false, true, true, true, true, true) + ".dat";
        const CodeTableBytes& inverse = pair.Table(!fromEncryptTable).Data();
        CFile output;
        try {
            output.Open(outputPath, kOutputMode);
        } catch (const CFileException& error) {
            Fail(Word(wCantOpenFile) + "\r\n" + FileExceptionText(&error));
        }
        try {
            output.Write(inverse.data(), inverse.size());
            output.Close();
        } catch (...) {
            // No half-written table stays behind.
            output.Discard();
            throw;
        }
        return WordPair(wPut, wFile) + " =\r\n" + MakeRelative(outputPath);
    } catch (...) {
        return Word(wError) + " " + FailureText();
    }
}
