#include "platform/file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>

#include "platform/fault_injection.h"
#include "platform/system.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

constexpr std::size_t k64K = 64 * 1024;

// Bytes whose value tells their offset, so a read from the wrong place shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& path, unsigned flags, bool keepLineEnd = false) {
    CFile file(path, flags);
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadLine(line, keepLineEnd)) lines.push_back(line);
    return lines;
}

std::string ReadAll(const std::string& path, unsigned flags, std::size_t chunk) {
    CFile file(path, flags);
    std::string all;
    std::string block(chunk, '\0');
    for (;;) {
        const std::size_t got = file.Read(block.data(), chunk);
        all.append(block, 0, got);
        if (got < chunk) break;
    }
    return all;
}

std::size_t EntryCount(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(File, TextReadingDropsCrBeforeLfAndStopsAt1A) {
    struct CCase {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
        std::string text;
        std::vector<std::string> linesWithEnds;
    };
    const CCase cases[] = {
        {"line ends", "a\r\nb\rc\n\r\nlast", {"a", "b\rc", "", "last"}, "a\nb\rc\n\nlast",
         {"a\r\n", "b\rc\n", "\r\n", "last"}},
        {"double CR", "x\r\r\ny\n", {"x\r", "y"}, "x\r\ny\n", {"x\r\r\n", "y\n"}},
        {"lone CR at the end", "x\r", {"x\r"}, "x\r", {"x\r"}},
        {"end of text byte", "one\r\ntwo\x1Athree\r\n", {"one", "two"}, "one\ntwo", {"one\r\n", "two"}},
        {"end of text byte first", "\x1A" "abc", {}, "", {}},
        {"empty file", "", {}, "", {}},
    };
    CTempFolder folder;
    for (const CCase& c : cases) {
        const std::string path = folder.Write("text.txt", c.bytes);
        EXPECT_EQ(ReadLines(path, modeRead | typeText), c.lines) << c.name;
        EXPECT_EQ(ReadLines(path, modeRead | typeText, true), c.linesWithEnds) << c.name;
        for (std::size_t chunk : {std::size_t(1), std::size_t(2), std::size_t(1000)})
            EXPECT_EQ(ReadAll(path, modeRead | typeText, chunk), c.text) << c.name << ", chunk " << chunk;
    }
}

TEST(File, BinaryReadingKeepsEveryByte) {
    CTempFolder folder;
    const std::string bytes = "a\r\nb\x1A\r\nc";
    const std::string path = folder.Write("binary.dat", bytes);
    EXPECT_EQ(ReadAll(path, modeRead | typeBinary, 3), bytes);
    const std::vector<std::string> lines = {"a\r", "b\x1A\r", "c"};
    EXPECT_EQ(ReadLines(path, modeRead | typeBinary), lines);
}

TEST(File, TextLinesAcrossTheBufferBoundary) {
    // The first CR LF straddles the end of the first buffer; the second line is longer than a buffer.
    const std::vector<std::string> lines = {std::string(k64K - 1, 'a'), std::string(k64K + 10, 'b'), "",
                                            std::string(k64K - 3, 'c') + "\rc", "tail"};
    std::string bytes, text;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
        text += line + "\n";
    }
    bytes.pop_back();
    bytes.pop_back();
    text.pop_back();
    bytes += "\x1Aignored\r\n";
    CTempFolder folder;
    const std::string path = folder.Write("long.txt", bytes);
    EXPECT_EQ(ReadLines(path, modeRead | typeText), lines);
    std::string joined;
    for (const std::string& line : ReadLines(path, modeRead | typeText, true)) joined += line;
    EXPECT_EQ(joined, bytes.substr(0, bytes.find('\x1A')));
    for (std::size_t chunk : {std::size_t(1), std::size_t(4097), k64K, 3 * k64K})
        EXPECT_EQ(ReadAll(path, modeRead | typeText, chunk), text) << "chunk " << chunk;
}

TEST(File, TextWritingTurnsLfIntoCrLfUnlessAskedNotTo) {
    CTempFolder folder;
    const std::string path = folder.Path() + "out.txt";
    std::string expected;
    {
        CFile file(path, modeCreate | modeWrite | shareDenyWrite | typeText);
        file.Write("a\nb\n\nc");
        file.Write(std::string("\r\n"));
        file.WriteUnconverted("d\ne\r\n", 5);
        expected = "a\r\nb\r\n\r\nc\r\r\nd\ne\r\n";
        // Enough lines to fill the buffer several times; the first line end does not fit in it.
        const std::string line(k64K - expected.size() - 1, 'x');
        file.Write(line + "\n");
        expected += line + "\r\n";
        for (int i = 0; i < 20000; ++i) {
            file.Write("row " + std::to_string(i) + "\n");
            expected += "row " + std::to_string(i) + "\r\n";
        }
        const std::string big(3 * k64K, 'y');
        file.Write(big + "\nend");
        expected += big + "\r\nend";
        file.Close();
    }
    EXPECT_EQ(folder.Read(path), expected);
}

TEST(File, ReadWriteAndSeekMixInOneFile) {
    CTempFolder folder;
    const std::string path = folder.Write("mix.dat", "0123456789");
    CFile file(path, modeReadWrite | typeBinary);
    char buffer[16] = {};
    ASSERT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "012");
    EXPECT_EQ(file.Position(), 3u);
    file.Write("AB"); // lands where the read stopped, not at the end of the read-ahead
    EXPECT_EQ(file.Position(), 5u);
    ASSERT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "56");
    EXPECT_EQ(file.Position(), 7u);
    EXPECT_EQ(file.Seek(3, CFile::begin), 3u);
    ASSERT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "AB");
    EXPECT_EQ(file.Seek(0, CFile::end), 10u);
    file.Write("XY");
    EXPECT_EQ(file.Position(), 12u);
    EXPECT_EQ(file.Seek(-2, CFile::current), 10u);
    ASSERT_EQ(file.Read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "XY");
    EXPECT_EQ(file.Position(), 12u);
    EXPECT_EQ(file.Length(), 12u);
    EXPECT_THROW(file.Seek(-13, CFile::current), CFileException);
    file.Close();
    EXPECT_EQ(folder.Read(path), "012AB56789XY");
}

TEST(File, SeeksInsideAndOutsideTheReadAhead) {
    const std::string bytes = Pattern(5 * k64K + 123);
    CTempFolder folder;
    const std::string path = folder.Write("big.dat", bytes);
    CFile file(path, modeReadWrite | typeBinary);
    std::string block(3 * k64K, '\0');
    ASSERT_EQ(file.Read(block.data(), 1), 1u);
    ASSERT_EQ(file.Read(block.data(), k64K - 1), k64K - 1); // empties the buffer
    ASSERT_EQ(file.Read(block.data(), 2 * k64K), 2 * k64K); // large enough to bypass it
    EXPECT_EQ(file.Position(), 3 * k64K);
    struct CStep {
        std::int64_t offset;
        CFile::SeekOrigin origin;
        std::uint64_t position;
    };
    const CStep steps[] = {
        {-10, CFile::current, 3 * k64K - 10 + 4},
        {k64K + 5, CFile::begin, k64K + 5 + 4},
        {-4, CFile::current, k64K + 9},
        {-100, CFile::end, bytes.size() - 100 + 4},
        {0, CFile::begin, 4},
    };
    for (const CStep& step : steps) {
        const std::uint64_t target = file.Seek(step.offset, step.origin);
        ASSERT_EQ(file.Read(block.data(), 4), 4u);
        EXPECT_EQ(block.substr(0, 4), bytes.substr(target, 4)) << "at " << target;
        EXPECT_EQ(file.Position(), step.position);
    }
    // A write after a read lands at the read position; what follows it is still the file's.
    file.Seek(2 * k64K - 2, CFile::begin);
    ASSERT_EQ(file.Read(block.data(), 1), 1u);
    file.Write("WXYZ");
    EXPECT_EQ(file.Position(), 2 * k64K + 3);
    ASSERT_EQ(file.Read(block.data(), 3), 3u);
    EXPECT_EQ(block.substr(0, 3), bytes.substr(2 * k64K + 3, 3));
    file.Close();
    std::string expected = bytes;
    expected.replace(2 * k64K - 1, 4, "WXYZ");
    EXPECT_EQ(folder.Read(path), expected);
}

TEST(File, TextEndKeepsPositionAndSeeksRight) {
    CTempFolder folder;
    const std::string path = folder.Write("end.txt", "abc\x1A" "defgh");
    CFile file(path, modeRead | typeText);
    char buffer[16] = {};
    ASSERT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(file.Position(), 3u);
    file.Seek(1, CFile::begin);
    ASSERT_EQ(file.Read(buffer, sizeof buffer), 2u);
    EXPECT_EQ(std::string(buffer, 2), "bc");
    file.Seek(6, CFile::begin);
    ASSERT_EQ(file.Read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "fgh");
}

TEST(File, SetLengthCutsAndExtends) {
    CTempFolder folder;
    const std::string path = folder.Write("length.dat", "0123456789");
    {
        CFile file(path, modeReadWrite | typeBinary);
        char buffer[4];
        ASSERT_EQ(file.Read(buffer, 2), 2u);
        file.Write("ab"); // still buffered when the length changes
        file.SetLength(6);
        EXPECT_EQ(file.Length(), 6u);
        EXPECT_EQ(file.Position(), 4u);
        ASSERT_EQ(file.Read(buffer, 4), 2u);
        EXPECT_EQ(std::string(buffer, 2), "45");
        file.SetLength(8);
        EXPECT_EQ(file.Length(), 8u);
        file.Close();
    }
    EXPECT_EQ(folder.Read(path), std::string("01ab45\0\0", 8));
}

TEST(File, OpenFailuresCarryCauseAndFileName) {
    CTempFolder folder;
    const std::string missing = folder.Path() + "missing.dat";
    try {
        CFile file(missing, modeRead | typeBinary);
        FAIL() << "a missing file opened";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.Cause(), CFileException::fileNotFound);
        EXPECT_EQ(e.FileName(), missing);
        EXPECT_EQ(e.Description(), missing + " was not found.");
        EXPECT_STREQ(e.what(), e.Description().c_str());
    }
    const std::string sub = folder.Path() + "sub";
    std::filesystem::create_directory(sub);
    EXPECT_EQ(OpenCause(sub, modeRead | typeBinary), CFileException::accessDenied);
    EXPECT_EQ(OpenCause(sub, modeReadWrite | typeBinary), CFileException::accessDenied);
    EXPECT_EQ(OpenCause(sub, modeCreate | modeWrite | typeBinary), CFileException::accessDenied);
    CFile closed;
    char byte;
    EXPECT_THROW(closed.Read(&byte, 1), CFileException);
}

TEST(File, WritersAndDenyWriteReadersExcludeEachOther) {
    CTempFolder folder;
    const std::string path = folder.Write("locked.dat", "precious");
    {
        CFile writer(path, modeWrite | modeCreate | modeNoTruncate | typeBinary);
        EXPECT_EQ(OpenCause(path, modeWrite | typeBinary), CFileException::sharingViolation);
        EXPECT_EQ(OpenCause(path, modeRead | shareDenyWrite | typeBinary), CFileException::sharingViolation);
        EXPECT_EQ(OpenCause(path, modeRead | typeBinary), CFileException::none);
    }
    {
        CFile reader(path, modeRead | shareDenyWrite | typeBinary);
        EXPECT_EQ(OpenCause(path, modeRead | shareDenyWrite | typeBinary), CFileException::none);
        try {
            CFile writer(path, modeCreate | modeWrite | typeText);
            FAIL() << "a writer opened beside a deny-write reader";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.Cause(), CFileException::sharingViolation);
            EXPECT_EQ(e.Description(), path + " is in use by another program or run.");
        }
        EXPECT_EQ(OpenCause(path, modeReadWrite | typeBinary), CFileException::sharingViolation);
    }
    EXPECT_EQ(folder.Read(path), "precious"); // the refused create did not truncate
    CFile writer(path, modeCreate | modeWrite | typeBinary);
    EXPECT_EQ(writer.Length(), 0u);
}

TEST(File, AbortKeepsWhatWasWritten) {
    CTempFolder folder;
    const std::string path = folder.Path() + "abort.txt";
    CFile file(path, modeCreate | modeWrite | typeText);
    file.Write("kept\n");
    file.Abort();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(folder.Read(path), "kept\r\n");
    file.Abort();
    file.Close();
}

TEST(FileSystem, CopyFileReplacing) {
    CTempFolder folder;
    const std::string big = Pattern(600 * 1024);
    const std::string source = folder.Write("source.dat", big);
    const std::string destination = folder.Write("dest.dat", "old contents");
    CopyFileReplacing(source, destination);
    EXPECT_EQ(folder.Read(destination), big);
    CopyFileReplacing(source, folder.Path() + "fresh.dat");
    EXPECT_EQ(folder.Read("fresh.dat"), big);

    folder.Write("dest.dat", "old contents");
    try {
        CopyFileReplacing(folder.Path() + "absent.dat", destination);
        FAIL() << "copied a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.Cause(), CFileException::fileNotFound);
    }
    EXPECT_EQ(folder.Read(destination), "old contents");
    EXPECT_THROW(CopyFileReplacing(source, folder.Path() + "no/such/dest.dat"), CFileException);
    EXPECT_EQ(EntryCount(folder.Path()), 3u); // no temporary file stays behind
}

TEST(FileSystem, PathsAndEntries) {
    CTempFolder folder;
    const std::string file = folder.Write("entry.dat", "x");
    EXPECT_EQ(ProbeEntry(file), EntryKind::file);
    EXPECT_EQ(ProbeEntry(folder.Path()), EntryKind::folder);
    EXPECT_EQ(ProbeEntry(folder.Path() + "none"), EntryKind::none);
    EXPECT_EQ(ProbeEntry(""), EntryKind::none);
    std::string backslashed = file;
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    EXPECT_EQ(ProbeEntry(backslashed), EntryKind::file);
}

TEST(FileSystem, FileStampsChangeWithTheFilesLastWriteAndSize) {
    CTempFolder folder;
    const std::string file = folder.Write("watched.dat", "abc");
    const auto when = std::filesystem::last_write_time(file);
    const CFileStamp first = FileStampOf(file);
    EXPECT_EQ(first.cause, CFileException::none);
    EXPECT_EQ(first.size, 3u);
    EXPECT_EQ(FileStampOf(file), first);
    // Same size, written later; then another size at the same time.
    folder.Write("watched.dat", "xyz");
    std::filesystem::last_write_time(file, when + std::chrono::seconds(2));
    const CFileStamp later = FileStampOf(file);
    EXPECT_NE(later, first);
    folder.Write("watched.dat", "abcd");
    std::filesystem::last_write_time(file, when + std::chrono::seconds(2));
    EXPECT_NE(FileStampOf(file), later);
    // Gone, and back.
    std::filesystem::remove(file);
    const CFileStamp gone = FileStampOf(file);
    EXPECT_EQ(gone.cause, CFileException::fileNotFound);
    folder.Write("watched.dat", "abc");
    EXPECT_NE(FileStampOf(file), gone);
}

TEST(FileSystem, ProgramFolderKeepsTheProgramName) {
    const std::string original = ProgramFilePath();
    const std::string name = original.substr(original.find_last_of("/\\") + 1);
    ASSERT_FALSE(name.empty());
    SetProgramFolder("/some/folder");
    EXPECT_EQ(ProgramFilePath(), "/some/folder" + std::string(1, PathSeparator()) + name);
    SetProgramFolder("/other/");
    EXPECT_EQ(ProgramFilePath(), "/other/" + name);
    EXPECT_EQ(ProgramName(), name.substr(0, name.rfind('.')));
    SetProgramFolder(original.substr(0, original.size() - name.size()));
    EXPECT_EQ(ProgramFilePath(), original);
}

TEST(FileSystem, LocalTimeCanBeFixed) {
    const CLocalTime fixed {2024, 2, 29, 23, 59, 58};
    FixLocalTime(&fixed);
    const CLocalTime now = LocalNow();
    FixLocalTime(nullptr);
    EXPECT_EQ(now.year, 2024);
    EXPECT_EQ(now.month, 2);
    EXPECT_EQ(now.day, 29);
    EXPECT_EQ(now.hour, 23);
    EXPECT_EQ(now.minute, 59);
    EXPECT_EQ(now.second, 58);
    const CLocalTime real = LocalNow();
    EXPECT_GE(real.year, 2024);
    EXPECT_TRUE(real.month >= 1 && real.month <= 12);
    EXPECT_TRUE(real.day >= 1 && real.day <= 31);
    EXPECT_TRUE(real.hour >= 0 && real.hour <= 23);
    EXPECT_FALSE(real.year == 2024 && real.month == 2 && real.day == 29 && real.hour == 23 && real.minute == 59 &&
                 real.second == 58);
}

TEST(File, OnlyRegularFilesOpenAndNothingWaitsOnAFifo) {
    CTempFolder folder;
    const std::string fifo = folder.Path() + "pipe";
    if (!SystemHasFifos()) GTEST_SKIP() << "no FIFOs on this system";
    ASSERT_TRUE(MakeFifo(fifo));
    EXPECT_EQ(ProbeEntry(fifo), EntryKind::other);
    EXPECT_EQ(ProbeEntry("/dev/null"), EntryKind::other);
    for (const std::string& path : {fifo, std::string("/dev/null"), folder.Path()}) {
        for (unsigned flags : {unsigned(modeRead | typeBinary), unsigned(modeWrite | modeCreate | typeText)}) {
            SCOPED_TRACE(path + " " + std::to_string(flags));
            // Refused at once (a FIFO without a reader cannot even be opened for writing).
            EXPECT_THROW(CFile(path, flags), CFileException);
        }
    }
    EXPECT_EQ(ProbeEntry(fifo), EntryKind::other);
}

TEST(File, DiscardRemovesOnlyAFileItCreated) {
    CTempFolder folder;
    const unsigned create = modeWrite | modeCreate | shareDenyWrite | typeBinary;
    const std::string fresh = folder.Path() + "fresh.dat";
    CFile made(fresh, create);
    EXPECT_TRUE(made.Created());
    made.Write("partial");
    made.Discard();
    EXPECT_FALSE(std::filesystem::exists(fresh));

    // An existing file keeps what was written before the failure.
    const std::string existing = folder.Write("old.dat", "old contents");
    CFile kept(existing, create | modeNoTruncate);
    EXPECT_FALSE(kept.Created());
    kept.Write("new");
    kept.Discard();
    EXPECT_EQ(folder.Read("old.dat"), "new contents");

    // A file closed whole is the caller's result; a close that fails still lets it go.
    CFile closed(fresh, create);
    closed.Write("whole");
    closed.Close();
    closed.Discard();
    EXPECT_EQ(folder.Read("fresh.dat"), "whole");
    std::filesystem::remove(fresh);
    CFile failing(fresh, create);
    failing.Write("bytes");
    ArmFault(FaultKind::close, 1, EIO);
    EXPECT_THROW(failing.Close(), CFileException);
    DisarmFaults();
    failing.Discard();
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST(File, InjectedFaultsFailTheNthCallOfTheirKind) {
    CTempFolder folder;
    const std::string path = folder.Write("data.bin", Pattern(3 * k64K));
    struct CCase {
        FaultKind kind;
        int error;
        int cause;
    } cases[] = {
        {FaultKind::open, ENOENT, CFileException::fileNotFound},
        {FaultKind::lock, EIO, CFileException::hardIO},
        {FaultKind::read, EIO, CFileException::hardIO},
        {FaultKind::flush, ENOSPC, CFileException::diskFull},
        {FaultKind::close, EACCES, CFileException::accessDenied},
    };
    for (const CCase& c : cases) {
        if (c.kind == FaultKind::lock && !SystemLocksFiles()) continue;
        SCOPED_TRACE(FaultKindName(c.kind));
        // The second call of the kind fails: the first goes through.
        ArmFault(c.kind, 2, c.error);
        try {
            for (int run = 0; run < 2; ++run) {
                CFile file(path, modeReadWrite | shareDenyWrite | typeBinary);
                std::string block(2 * k64K, '\0');
                file.Read(block.data(), 10);
                file.Seek(k64K + 5, CFile::begin);
                file.Read(block.data(), 10);
                file.Seek(0, CFile::begin);
                file.Write("x");
                file.Seek(2 * k64K, CFile::begin);
                file.Write("y");
                file.Close();
            }
            ADD_FAILURE() << "no failure";
        } catch (const CFileException& error) {
            EXPECT_EQ(error.Cause(), c.cause);
            EXPECT_EQ(error.FileName(), path);
        }
        EXPECT_TRUE(FaultDelivered());
        EXPECT_EQ(FaultCalls(c.kind), 2u);
        DisarmFaults();
        EXPECT_FALSE(FaultDelivered());
    }
}

TEST(File, ScatteredWritesOfAReadableFileReachTheSystemTogether) {
    CTempFolder folder;
    std::string model = Pattern(5 * k64K);
    const std::string path = folder.Write("data.bin", model);
    CFile file(path, modeReadWrite | modeNoTruncate | shareDenyWrite | typeBinary);
    DisarmFaults();
    // Every third 16-byte record forwards, then every third one backwards.
    for (std::size_t at = 0; at + 16 <= model.size(); at += 48) {
        file.Seek(static_cast<std::int64_t>(at), CFile::begin);
        file.Write(std::string(16, 'f'));
        model.replace(at, 16, 16, 'f');
    }
    for (std::size_t at = model.size() - 32; at >= 16; at -= 48) {
        file.Seek(static_cast<std::int64_t>(at), CFile::begin);
        file.Write(std::string(16, 'b'));
        model.replace(at, 16, 16, 'b');
    }
    file.Close();
    EXPECT_EQ(folder.Read("data.bin"), model);
    // A window at a time, not a call per record.
    EXPECT_LE(FaultCalls(FaultKind::flush), 12u);
    EXPECT_LE(FaultCalls(FaultKind::read), 12u);
}

} // namespace

// Random reads, writes and seeks in read-write mode, checked against a copy held in memory.
TEST(File, RandomAccessMatchesAModel) {
    CTempFolder folder;
    std::string model(300 * 1024, '\0');
    for (std::size_t i = 0; i < model.size(); ++i) model[i] = static_cast<char>(i * 7 + 3);
    const std::string path = folder.Write("model.dat", model);
    CFile file(path, modeReadWrite | typeBinary);
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    std::uint64_t position = 0;
    std::string buffer;
    for (int step = 0; step < 4000; ++step) {
        const std::uint32_t kind = next(10);
        const std::size_t count = next(4) == 0 ? next(200000) : next(100);
        if (kind < 3) {
            position = next(static_cast<std::uint32_t>(model.size() + 100));
            ASSERT_EQ(file.Seek(static_cast<std::int64_t>(position), CFile::begin), position);
        } else if (kind < 6) {
            buffer.assign(count, '\0');
            const std::size_t got = file.Read(buffer.data(), count);
            const std::size_t expected = position >= model.size() ? 0 : std::min(count, model.size() - position);
            ASSERT_EQ(got, expected) << step;
            ASSERT_EQ(buffer.substr(0, got), model.substr(position, got)) << step;
            position += got;
        } else {
            buffer.assign(count, static_cast<char>('a' + step % 26));
            file.Write(buffer.data(), count);
            if (position > model.size()) model.resize(position, '\0');
            model.replace(position, std::min(count, model.size() - position), buffer);
            position += count;
        }
        ASSERT_EQ(file.Position(), position) << step;
        if (step % 500 == 0) file.Flush();
    }
    file.Close();
    EXPECT_TRUE(folder.Read(path) == model);
}
