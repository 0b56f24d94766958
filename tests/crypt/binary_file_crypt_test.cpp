#include "crypt/binary_file_crypt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

#include "crypt/code_table_pair.h"
#include "support/progress.h"
#include "platform/file.h"
#include "platform/system.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"
#include "tests/crypt/code_table_samples.h"

namespace {

const CLocalTime kNow {2024, 3, 7, 9, 5, 2};
const std::string kStamp = "-0307-090502";

std::string RandomData(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random());
    return data;
}

std::string Substituted(const std::string& data, const CodeTableBytes& table) {
    std::string out = data;
    for (char& c : out) c = static_cast<char>(table[static_cast<std::uint8_t>(c)]);
    return out;
}

// Every .dat file in the folder.
std::vector<std::string> Outputs(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".dat") names.push_back(entry.path().filename().string());
    return names;
}

// True when no run still holds the file: a writer can lock it.
bool Released(const std::string& path) {
    try {
        CFile writer(path, modeReadWrite | typeBinary);
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

// A progress display that records what it was asked to show and runs the test's hooks when it
// opens and when it refreshes. Its clock makes every look at the time a due refresh.
class CScriptedProgress : public CProgress {
public:
    std::function<void()> m_onStart, m_onRefresh;
    CProgressState m_started;
    int m_starts = 0, m_closes = 0;

protected:
    bool OnStart(const CProgressState& state) override {
        ++m_starts;
        m_started = state;
        if (m_onStart) m_onStart();
        return true;
    }
    void OnRefresh(const CProgressState&) override {
        if (m_onRefresh) m_onRefresh();
    }
    void OnClose() override { ++m_closes; }
    std::chrono::steady_clock::time_point Now() const override { return m_now += std::chrono::seconds(1); }

private:
    mutable std::chrono::steady_clock::time_point m_now {};
};

// The user presses Cancel as the run starts and again after every No; the "Stop ?" question is
// answered No until the given number of blocks is written, then Yes. Each question records the
// bytes done so far, so the questions trace the blocks.
class CStopAfterBlocks : public IMessageBox {
public:
    CStopAfterBlocks(CScriptedProgress& progress, std::size_t blocks) : m_progress(progress), m_blocksLeft(blocks) {
        m_progress.m_onStart = [this] { m_progress.RequestStop(); };
        m_previous = SetMessageBox(this);
    }
    ~CStopAfterBlocks() override { SetMessageBox(m_previous); }

    int Show(const CMessageBoxRequest& request) override {
        m_questions.push_back(request.text);
        m_doneAtQuestion.push_back(m_progress.State().count);
        if (m_blocksLeft == 0) return idYes;
        --m_blocksLeft;
        m_progress.RequestStop();
        return idNo;
    }

    std::vector<std::string> m_questions;
    std::vector<std::uint32_t> m_doneAtQuestion;

private:
    CScriptedProgress& m_progress;
    std::size_t m_blocksLeft;
    IMessageBox* m_previous;
};

class BinaryFileCrypt : public ::testing::Test {
protected:
    void SetUp() override { FixLocalTime(&kNow); }
    void TearDown() override { FixLocalTime(nullptr); }

    // Loads the pair from the table files written into the program folder; an absent table is
    // not given.
    static void LoadPair(CTestEnvironment& env, CCodeTablePair& pair, const std::optional<CodeTableBytes>& decrypt,
                         const std::optional<CodeTableBytes>& encrypt) {
        if (decrypt) env.m_folder.Write("dec.tbl", Bytes(*decrypt));
        if (encrypt) env.m_folder.Write("enc.tbl", Bytes(*encrypt));
        pair.Reset();
        ASSERT_TRUE(pair.Load(decrypt ? "dec.tbl" : "", encrypt ? "enc.tbl" : "")) << pair.m_message;
        ASSERT_EQ(pair.m_ok, 1);
    }
};

// Block structure, output name and contents, progress, for both directions.
TEST_F(BinaryFileCrypt, EveryByteIsSubstitutedBlockByBlock) {
    struct Case {
        std::size_t size;
        std::vector<std::uint32_t> doneBeforeBlocks;
    };
    const std::vector<Case> cases = {
        {600, {0, 256, 512}},
        {256, {0}},
        {1, {0}},
        {513, {0, 256, 512}},
    };
    const CodeTableBytes decrypt = ShuffledTable(1);
    for (const Case& c : cases) {
        for (int encrypt : {0, 1}) {
            SCOPED_TRACE(std::to_string(c.size) + (encrypt ? " encrypt" : " decrypt"));
            CTestEnvironment env;
            CCodeTablePair pair;
            LoadPair(env, pair, decrypt, std::nullopt);
            const std::string input = RandomData(c.size, 2);
            env.m_folder.Write("data.bin", input);

            CScriptedProgress progress;
            CStopAfterBlocks neverStop(progress, c.size);
            const std::string name = encrypt ? "Encrypt" : "Decrypt";
            const std::string output = "data-" + name + kStamp + ".dat";
            EXPECT_EQ(ConvertBinaryFile(pair, encrypt, env.m_folder.Path() + "data.bin", progress),
                      "Put File =\r\n" + output);

            EXPECT_EQ(env.m_folder.Read(output), Substituted(input, pair.Table(encrypt).Data()));
            EXPECT_EQ(env.m_folder.Read("data.bin"), input);
            EXPECT_EQ(neverStop.m_doneAtQuestion, c.doneBeforeBlocks);
            EXPECT_EQ(progress.m_starts, 1);
            EXPECT_EQ(progress.m_started.label, name + " Binary File");
            EXPECT_EQ(progress.m_started.total, c.size);
            EXPECT_FALSE(progress.m_started.recordUnit);
            EXPECT_EQ(progress.State().count, c.size);
            EXPECT_EQ(progress.m_closes, 1);
            EXPECT_TRUE(Released(env.m_folder.Path() + output));
            EXPECT_TRUE(Released(env.m_folder.Path() + "data.bin"));
        }
    }
}

TEST_F(BinaryFileCrypt, LabelUsesTranslatedWords) {
    CTestEnvironment env;
    env.Translate("msg.Decrypt=Entschl\r\nmsg.File=Datei\r\nmsg.Put=Schreiben\r\n");
    CCodeTablePair pair;
    LoadPair(env, pair, ShuffledTable(3), std::nullopt);
    env.m_folder.Write("data.bin", RandomData(10, 4));
    CScriptedProgress progress;
    EXPECT_EQ(ConvertBinaryFile(pair, 0, "data.bin", progress), "Schreiben Datei =\r\ndata-Entschl" + kStamp + ".dat");
    EXPECT_EQ(progress.m_started.label, "Entschl Binary Datei");
}

// Decrypting and then encrypting the result gives the bytes back, with a derived or a given
// encryption table; the identity table copies the file.
TEST_F(BinaryFileCrypt, RoundTripAndIdentity) {
    CodeTableBytes identity{};
    for (unsigned i = 0; i < kCodeTableSize; ++i) identity[i] = static_cast<std::uint8_t>(i);
    const CodeTableBytes decrypt = ShuffledTable(5);
    CodeTableBytes encrypt{};
    for (unsigned i = 0; i < kCodeTableSize; ++i) encrypt[decrypt[i]] = static_cast<std::uint8_t>(i);
    const std::string input = RandomData(1000, 6);
    for (bool bothGiven : {false, true}) {
        SCOPED_TRACE(bothGiven);
        CTestEnvironment env;
        CCodeTablePair pair;
        LoadPair(env, pair, decrypt, bothGiven ? std::optional(encrypt) : std::nullopt);
        env.m_folder.Write("data.bin", input);
        CScriptedProgress progress;
        ASSERT_EQ(ConvertBinaryFile(pair, 0, "data.bin", progress), "Put File =\r\ndata-Decrypt" + kStamp + ".dat");
        EXPECT_NE(env.m_folder.Read("data-Decrypt" + kStamp + ".dat"), input);
        CScriptedProgress again;
        ASSERT_EQ(ConvertBinaryFile(pair, 1, "data-Decrypt" + kStamp + ".dat", again),
                  "Put File =\r\ndata-Decrypt" + kStamp + "-Encrypt" + kStamp + ".dat");
        EXPECT_EQ(env.m_folder.Read("data-Decrypt" + kStamp + "-Encrypt" + kStamp + ".dat"), input);
    }

    CTestEnvironment env;
    CCodeTablePair pair;
    LoadPair(env, pair, identity, identity);
    env.m_folder.Write("data.bin", input);
    CScriptedProgress progress;
    ConvertBinaryFile(pair, 1, "data.bin", progress);
    EXPECT_EQ(env.m_folder.Read("data-Encrypt" + kStamp + ".dat"), input);
}

// Relative paths lie under the program folder and are shown relative; other paths in full.
TEST_F(BinaryFileCrypt, OutputLiesBesideTheResolvedInput) {
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(7);
    LoadPair(env, pair, decrypt, std::nullopt);
    const std::string input = RandomData(300, 8);
    env.m_folder.Write("sub/data.bin", input);
    CTempFolder elsewhere;
    elsewhere.Write("far.bin", input);

    CScriptedProgress progress;
    EXPECT_EQ(ConvertBinaryFile(pair, 0, "sub/data.bin", progress), "Put File =\r\nsub/data-Decrypt" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("sub/data-Decrypt" + kStamp + ".dat"), Substituted(input, decrypt));
    EXPECT_EQ(ConvertBinaryFile(pair, 0, env.m_folder.Path() + "sub/data.bin", progress),
              "Put File =\r\nsub/data-Decrypt" + kStamp + ".dat");

    const std::string far = elsewhere.Path() + "far-Decrypt" + kStamp + ".dat";
    EXPECT_EQ(ConvertBinaryFile(pair, 0, elsewhere.Path() + "far.bin", progress), "Put File =\r\n" + far);
    EXPECT_EQ(elsewhere.Read(far), Substituted(input, decrypt));
}

// An input without an extension, or a hidden one, names its output after its whole name.
TEST_F(BinaryFileCrypt, InputsWithoutExtension) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(12);
    LoadPair(env, pair, decrypt, std::nullopt);
    const std::string input = RandomData(300, 13);
    env.m_folder.Write("logs/wtmp", input);
    env.m_folder.Write(".wtmp", input);
    const std::pair<std::string, std::string> cases[] = {
        {"logs/wtmp", "logs/wtmp-Decrypt" + kStamp + ".dat"},
        {env.m_folder.Path() + "logs/wtmp", "logs/wtmp-Decrypt" + kStamp + ".dat"},
        {".wtmp", ".wtmp-Decrypt" + kStamp + ".dat"},
    };
    for (const auto& [path, written] : cases) {
        CScriptedProgress progress;
        EXPECT_EQ(ConvertBinaryFile(pair, 0, path, progress), "Put File =\r\n" + written);
        EXPECT_EQ(env.m_folder.Read(written), Substituted(input, decrypt));
    }
    CScriptedProgress progress;
    EXPECT_EQ(ConvertBinaryFile(pair, 0, "logs/missing", progress), "Error FilePath\r\nlogs/missing");
}

// A second run within the same second replaces the first run's output entirely.
TEST_F(BinaryFileCrypt, SameSecondReplacesTheOutput) {
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(9);
    LoadPair(env, pair, decrypt, std::nullopt);
    env.m_folder.Write("data.bin", RandomData(2000, 10));
    CScriptedProgress progress;
    ConvertBinaryFile(pair, 0, "data.bin", progress);
    const std::string shorter = RandomData(300, 11);
    env.m_folder.Write("data.bin", shorter);
    ConvertBinaryFile(pair, 0, "data.bin", progress);
    EXPECT_EQ(env.m_folder.Read("data-Decrypt" + kStamp + ".dat"), Substituted(shorter, decrypt));
}

// A confirmed stop keeps exactly the blocks written before it; No lets the run go on.
TEST_F(BinaryFileCrypt, StopKeepsTheBlocksWritten) {
    const CodeTableBytes decrypt = ShuffledTable(12);
    const std::string input = RandomData(600, 13);
    for (std::size_t blocks : {0u, 1u, 2u}) {
        for (bool translate : {false, true}) {
            SCOPED_TRACE(std::to_string(blocks) + (translate ? " translated" : ""));
            CTestEnvironment env;
            if (translate) env.Translate("msg.Canceled=Abgebrochen\r\n");
            CCodeTablePair pair;
            LoadPair(env, pair, decrypt, std::nullopt);
            env.m_folder.Write("data.bin", input);
            CScriptedProgress progress;
            CStopAfterBlocks stop(progress, blocks);
            const std::string output = "data-Decrypt" + kStamp + ".dat";
            EXPECT_EQ(ConvertBinaryFile(pair, 0, "data.bin", progress),
                      (translate ? "Abgebrochen" : "Canceled") + std::string(" Put File =\r\n") + output);
            EXPECT_EQ(stop.m_questions, std::vector<std::string>(blocks + 1, "Stop ?"));
            EXPECT_EQ(env.m_folder.Read(output), Substituted(input.substr(0, blocks * 256), decrypt));
            EXPECT_EQ(progress.m_closes, 1);
            EXPECT_TRUE(Released(env.m_folder.Path() + output));
        }
    }
}

// Every failure text, with the built-in words and with one word translated.
TEST_F(BinaryFileCrypt, FailuresComposeTheirTexts) {
    struct Case {
        const char* label;
        bool inUse;
        int encrypt;
        std::optional<std::string> inputContents; // data.bin, when written
        std::string path;
        std::function<void(CTestEnvironment&, CScriptedProgress&, std::optional<CFile>&)> prepare;
        std::string translation;
        std::string builtIn, translated;
        std::optional<std::size_t> kept; // bytes of the output, when one stays
        // What follows the text after a line break: the file concerned and the cause, if any.
        std::function<std::string(const std::string& folder)> detail = nullptr;
    };
    const auto none = [](CTestEnvironment&, CScriptedProgress&, std::optional<CFile>&) {};
    const auto throwOnStart = [](auto exception) {
        return [exception](CTestEnvironment&, CScriptedProgress& progress, std::optional<CFile>&) {
            progress.m_onStart = [exception] { throw exception; };
        };
    };
    const std::string output = "data-Decrypt" + kStamp + ".dat";
    const std::string root = FileSystemRoot();
    std::vector<Case> cases = {
        {"pair not in use, decrypt", false, 0, std::string(10, 'x'), "data.bin", none, "msg.Decrypt=Entschl\r\n",
         "Error Decrypt", "Error Entschl", std::nullopt},
        {"pair not in use, encrypt", false, 1, std::string(10, 'x'), "data.bin", none, "msg.Error=Fehler\r\n",
         "Error Encrypt", "Fehler Encrypt", std::nullopt},
        {"empty path", true, 0, std::nullopt, "", none, "msg.FilePath=Dateipfad\r\n", "Error FilePath\r\n",
         "Error Dateipfad\r\n", std::nullopt},
        {"name without extension", true, 0, std::nullopt, "data", none, "msg.FilePath=Dateipfad\r\n",
         "Error FilePath\r\ndata", "Error Dateipfad\r\ndata", std::nullopt},
        {"file in the root folder", true, 0, std::nullopt, root + "data.bin", none, "msg.FilePath=Dateipfad\r\n",
         "Error FilePath\r\n" + root + "data.bin", "Error Dateipfad\r\n" + root + "data.bin", std::nullopt},
        {"memory short", true, 0, std::string(10, 'x'), "data.bin", throwOnStart(std::bad_alloc()),
         "msg.Memory short=Speicher knapp\r\n", "Error Memory short", "Error Speicher knapp", std::nullopt},
        {"missing input", true, 0, std::nullopt, "data.bin", none, "msg.Can't open file=Nicht zu oeffnen\r\n",
         "Error Decrypt Can't open file", "Error Decrypt Nicht zu oeffnen", std::nullopt,
         [](const std::string& folder) { return "2 " + CFileException::Describe(2, folder + "data.bin"); }},
        {"input locked by a writer", true, 0, std::string(10, 'x'), "data.bin",
         [](CTestEnvironment& env, CScriptedProgress&, std::optional<CFile>& writer) {
             writer.emplace(env.m_folder.Path() + "data.bin", modeReadWrite | typeBinary);
         },
         "msg.Decrypt=Entschl\r\n", "Error Decrypt Can't open file", "Error Entschl Can't open file", std::nullopt,
         [](const std::string& folder) { return "11 " + CFileException::Describe(11, folder + "data.bin"); }},
        {"empty input", true, 0, std::string(), "data.bin", none, "msg.Can't open file=Nicht zu oeffnen\r\n",
         "Error Decrypt Can't open file", "Error Decrypt Nicht zu oeffnen", std::nullopt,
         [](const std::string& folder) { return folder + "data.bin"; }},
        {"input is a folder", true, 0, std::nullopt, "data.bin",
         [](CTestEnvironment& env, CScriptedProgress&, std::optional<CFile>&) {
             std::filesystem::create_directory(env.m_folder.Path() + "data.bin");
         },
         "msg.It's not a file=Keine Datei\r\n", "Error It's not a file", "Error Keine Datei", std::nullopt,
         [](const std::string& folder) { return folder + "data.bin"; }},
        {"output cannot be created", true, 0, std::string(10, 'x'), "data.bin",
         [output](CTestEnvironment& env, CScriptedProgress&, std::optional<CFile>&) {
             std::filesystem::create_directory(env.m_folder.Path() + output);
         },
         "msg.Put=Schreiben\r\n", "Error Put File Can't open file", "Error Schreiben File Can't open file",
         std::nullopt, [output](const std::string& folder) { return "5 " + CFileException::Describe(5, folder + output); }},

        {"file exception", true, 0, std::string(10, 'x'), "data.bin",
         throwOnStart(CFileException(CFileException::diskFull, "out.dat")), "msg.Error=Fehler\r\n",
         "Error 13 The disk is full while writing out.dat.", "Fehler 13 The disk is full while writing out.dat.",
         std::nullopt},
        {"other exception", true, 0, std::string(10, 'x'), "data.bin", throwOnStart(std::runtime_error("Broken")),
         "msg.Error=Fehler\r\n", "Error Broken", "Fehler Broken", std::nullopt},
        {"unrecognised exception", true, 0, std::string(10, 'x'), "data.bin", throwOnStart(42),
         "msg.System=Systemfehler\r\n", "Error System", "Error Systemfehler", std::nullopt},
    };
    // Where the input is held only by an advisory lock, another program can still shorten it.
    if (SystemLocksFiles()) {
        cases.push_back({"input shrinks under the run", true, 0, std::string(600, 'x'), "data.bin",
                         [](CTestEnvironment& env, CScriptedProgress& progress, std::optional<CFile>&) {
                             progress.m_onStart = [&env] {
                                 std::filesystem::resize_file(env.m_folder.Path() + "data.bin", 400);
                             };
                         },
                         "msg.Can't read file=Nicht lesbar\r\n", "Error Decrypt Can't read file",
                         "Error Decrypt Nicht lesbar", std::nullopt,
                         [](const std::string& folder) { return folder + "data.bin"; }});
    }
    for (const Case& c : cases) {
        for (bool translate : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (translate ? " translated" : ""));
            CTestEnvironment env;
            if (translate) env.Translate(c.translation);
            CCodeTablePair pair;
            if (c.inUse) {
                LoadPair(env, pair, ShuffledTable(14), std::nullopt);
            } else {
                pair.Reset();
                ASSERT_TRUE(pair.Load("", ""));
            }
            if (c.inputContents) env.m_folder.Write("data.bin", *c.inputContents);
            CScriptedProgress progress;
            std::optional<CFile> writer;
            c.prepare(env, progress, writer);

            std::string expected = translate ? c.translated : c.builtIn;
            if (c.detail) expected += "\r\n" + c.detail(env.m_folder.Path());
            EXPECT_EQ(ConvertBinaryFile(pair, c.encrypt, c.path, progress), expected);
            writer.reset();
            EXPECT_FALSE(progress.IsOpen());
            if (c.kept) {
                EXPECT_EQ(Outputs(env.m_folder.Path()), std::vector<std::string>{output});
                EXPECT_EQ(env.m_folder.Read(output).size(), *c.kept);
                EXPECT_TRUE(Released(env.m_folder.Path() + output));
            } else if (!std::filesystem::is_directory(env.m_folder.Path() + output)) {
                EXPECT_TRUE(Outputs(env.m_folder.Path()).empty());
            }
            if (c.inputContents) {
                EXPECT_TRUE(Released(env.m_folder.Path() + "data.bin"));
            }
        }
    }
}

// A failure in the middle of the run removes the new file it was writing and releases the files.
TEST_F(BinaryFileCrypt, FailureMidRunRemovesTheNewFile) {
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(15);
    LoadPair(env, pair, decrypt, std::nullopt);
    const std::string input = RandomData(100 * 256 + 88, 16);
    env.m_folder.Write("data.bin", input);
    CScriptedProgress progress;
    std::uint32_t doneAtFailure = 0;
    progress.m_onRefresh = [&] {
        if (doneAtFailure != 0) return;
        doneAtFailure = progress.State().count;
        throw CFileException(CFileException::hardIO, "data.bin");
    };
    EXPECT_EQ(ConvertBinaryFile(pair, 0, "data.bin", progress),
              "Error 10 A hardware input/output error occurred with data.bin.");
    ASSERT_GT(doneAtFailure, 0u);
    ASSERT_LT(doneAtFailure, input.size());
    EXPECT_EQ(doneAtFailure % 256, 0u);
    EXPECT_TRUE(Outputs(env.m_folder.Path()).empty());
    EXPECT_TRUE(Released(env.m_folder.Path() + "data.bin"));
}

// Whichever allocation of a run fails, the run ends as it would have or with the shortage, and
// leaves nothing open.
TEST_F(BinaryFileCrypt, AllocationFailuresEndAsMemoryShort) {
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(19);
    LoadPair(env, pair, decrypt, std::nullopt);
    const std::string input = RandomData(600, 20);
    env.m_folder.Write("data.bin", input);
    const std::string output = "data-Decrypt" + kStamp + ".dat";
    int shortages = 0;
    for (long granted = 0;; ++granted) {
        SCOPED_TRACE(granted);
        CScriptedProgress progress;
        FailAllocationAfter(granted);
        const std::string result = ConvertBinaryFile(pair, 0, "data.bin", progress);
        if (!DisarmAllocationFailure()) {
            EXPECT_EQ(result, "Put File =\r\n" + output);
            break;
        }
        if (result == "Error Memory short") {
            ++shortages;
        } else {
            EXPECT_EQ(result, "Put File =\r\n" + output);
        }
        EXPECT_FALSE(progress.IsOpen());
        EXPECT_TRUE(Released(env.m_folder.Path() + "data.bin"));
        if (std::filesystem::exists(env.m_folder.Path() + output)) {
            EXPECT_TRUE(Released(env.m_folder.Path() + output));
        }
    }
    EXPECT_GT(shortages, 0);
    EXPECT_EQ(env.m_folder.Read(output), Substituted(input, decrypt));
}

// A file that grows under the run is converted up to the size it had when the run started. Where
// the input is held by the sharing of its open, it cannot grow at all.
TEST_F(BinaryFileCrypt, InputGrowingUnderTheRunIsCutAtItsStartingSize) {
    CTestEnvironment env;
    CCodeTablePair pair;
    const CodeTableBytes decrypt = ShuffledTable(17);
    LoadPair(env, pair, decrypt, std::nullopt);
    const std::string input = RandomData(600, 18);
    env.m_folder.Write("data.bin", input);
    CScriptedProgress progress;
    progress.m_onStart = [&env] {
        std::error_code error;
        std::filesystem::resize_file(env.m_folder.Path() + "data.bin", 700, error);
        EXPECT_EQ(!error, SystemLocksFiles()) << error.message();
    };
    EXPECT_EQ(ConvertBinaryFile(pair, 0, "data.bin", progress), "Put File =\r\ndata-Decrypt" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("data-Decrypt" + kStamp + ".dat"), Substituted(input, decrypt));
}

} // namespace
