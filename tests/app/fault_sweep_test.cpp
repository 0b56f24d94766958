// Every job that writes runs again and again with one file system call failing: each call of
// each kind in turn, with each error. After every run the folder must show that the job's report
// was true: a success left exactly what a run without faults leaves, and a failure named its
// cause, changed no input, left each other file old or new (never a mix, never a leftover), and
// kept a backup that reverts the output exactly.

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/job_driver.h"
#include "app/main_window_model.h"
#include "vocabulary/message_box.h"
#include "crypt/binary_file_crypt.h"
#include "crypt/table_inversion.h"
#include "support/progress.h"
#include "platform/fault_injection.h"
#include "platform/file_exception.h"
#include "platform/system.h"
#include "support/backup.h"
#include "tests/common/test_support.h"

namespace {

namespace fs = std::filesystem;

using CFiles = std::map<std::string, std::string>; // name in the folder -> contents

constexpr int kRecordSize = 16;
constexpr int kHeaderSize = 8;
// Enough records that the binary and the text files span several windows of the file class.
constexpr int kRecordCount = 5000;
const std::string kHeader = "MORVANE1";

struct CInjected {
    int error;
    int cause; // the cause number the program must report
};

std::vector<CInjected> Errors() {
    std::vector<CInjected> errors = {{ENOSPC, CFileException::diskFull},
                                     {EIO, CFileException::hardIO},
                                     {EACCES, CFileException::accessDenied}};
    // The full sweep, on every run under CI: further errors of the same kinds.
    if (const char* ci = std::getenv("CI"); ci && std::string(ci) == "true") {
        errors.push_back({EROFS, CFileException::accessDenied});
        errors.push_back({EFBIG, CFileException::diskFull});
        errors.push_back({EMFILE, CFileException::tooManyOpenFiles});
    }
    return errors;
}

std::string Record(int n, int variant) {
    std::string record(kRecordSize, '\0');
    const unsigned value = static_cast<unsigned>(n * 7 + variant);
    for (int i = 0; i < 4; ++i) record[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    record[4] = static_cast<char>(value % 200);
    record[5] = static_cast<char>(variant);
    record[6] = static_cast<char>((value * 37) & 0xFF);
    const std::string name = "N" + std::to_string(value % 100000);
    name.copy(&record[7], name.size());
    return record;
}

// Every byte through the tables of the targets here: each byte b becomes 255 - b, both ways.
std::string Reversed(std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(255 - static_cast<unsigned char>(c));
    return bytes;
}

std::string Line(int n, int variant) {
    const unsigned value = static_cast<unsigned>(n * 7 + variant);
    const unsigned flags = (value * 37) & 0xFF;
    std::string line = std::to_string(n) + "," + std::to_string(static_cast<int>(value % 200) + 256 * variant);
    for (int k = 0; k < 4; ++k) line += "," + std::to_string((flags >> (2 * k)) & 3);
    return line + ",N" + std::to_string(value % 100000);
}

std::string Binary(int variant) {
    std::string data = kHeader;
    for (int n = 0; n < kRecordCount; ++n) data += Reversed(Record(n, variant));
    return data;
}

std::string Text(int variant) {
    std::string text = "//No,Kind,F1,F2,F3,F4,Name\r\n";
    for (int n = 0; n < kRecordCount; ++n) text += Line(n, variant) + "\r\n";
    return text;
}

std::string Table() {
    std::string table(256, '\0');
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(255 - i);
    return table;
}

std::string TargetFile(const std::string& extraKeys) {
    return "[FileInfo]\r\nLabel=Sweep\r\nRecordDefinitionFileRP=def.txt\r\nBStartPosition=" +
           std::to_string(kHeaderSize) + "\r\nBRecordSize=" + std::to_string(kRecordSize) +
           "\r\nBRecordCount=" + std::to_string(kRecordCount) +
           "\r\nTDelimiter=,\r\nB2TDecryptTableFileRP=dec.tbl\r\nT2BEncryptTableFileRP=enc.tbl\r\n" + extraKeys;
}

// The files every target here needs.
CFiles TargetFiles(const std::string& extraKeys = "") {
    return {{"t.ini", TargetFile(extraKeys)},
            {"def.txt", "No,4,R,u,1,No\r\nKind,2,R,n,1,Kind\r\nFlags,1,R,2,4,F1 F2 F3 F4\r\nName,9,N,s,1,Name\r\n"},
            {"dec.tbl", Table()},
            {"enc.tbl", Table()}};
}

// A display whose clock moves a millisecond at every look: it refreshes, and so hands output to
// the system, every few hundred records, the same in every run.
class CSteadyProgress : public CProgress {
protected:
    std::chrono::steady_clock::time_point Now() const override { return m_now += std::chrono::milliseconds(1); }

private:
    mutable std::chrono::steady_clock::time_point m_now {};
};

struct COutcome {
    bool success = false;
    std::string message; // what the user is told
};

// How the file a job writes may look after a failure.
enum class OutputRule {
    oldOrNew, // replaced whole: the old contents or the new
    records,  // written in place: every record old or new, nothing else changed
    lines,    // rewritten from the start: a beginning of the new contents
};

struct CScenario {
    std::string name;
    CFiles files;                     // the folder before the run
    std::string output;               // the file the job writes
    OutputRule rule = OutputRule::oldOrNew;
    bool backup = false;              // a ".bak" of the output is kept
    std::set<std::string> otherNew;   // files a failed run may leave besides the backup
    // Runs the job; it calls faultsFrom() where the faults may begin.
    std::function<COutcome(CTestEnvironment& env, const std::function<void()>& faultsFrom)> run;
};

class CSweep {
public:
    explicit CSweep(const CScenario& scenario) : m_scenario(scenario) {
        const CLocalTime fixed {2024, 3, 5, 9, 7, 3};
        FixLocalTime(&fixed);
    }
    ~CSweep() { FixLocalTime(nullptr); }

    void Run() {
        const COutcome clean = RunOnce(nullptr, nullptr);
        ASSERT_TRUE(clean.success) << clean.message;
        m_expected = Folder();
        ASSERT_NE(m_expected, m_scenario.files) << "the job changed nothing";
        std::uint64_t calls[kFaultKindCount];
        for (int kind = 0; kind < kFaultKindCount; ++kind) calls[kind] = m_callsOfCleanRun[kind];
        std::size_t runs = 0, delivered = 0;
        for (int kind = 0; kind < kFaultKindCount; ++kind) {
            for (std::uint64_t nth = 1; nth <= calls[kind]; ++nth) {
                for (const CInjected& error : Errors()) {
                    SCOPED_TRACE(std::string(FaultKindName(static_cast<FaultKind>(kind))) + " call " +
                                 std::to_string(nth) + ", error " + std::to_string(error.error));
                    const CFaultPlan plan {static_cast<FaultKind>(kind), nth, error.error};
                    bool hit = false;
                    const COutcome outcome = RunOnce(&plan, &hit);
                    Check(outcome, hit, error.cause);
                    ++runs;
                    delivered += hit;
                    if (HasFailure()) return; // one broken invariant tells enough
                }
            }
        }
        EXPECT_GT(delivered, runs / 2) << "most faults never reached a call";
    }

private:
    struct CFaultPlan {
        FaultKind kind;
        std::uint64_t nth;
        int error;
    };

    static bool HasFailure() { return ::testing::Test::HasFailure(); }

    COutcome RunOnce(const CFaultPlan* plan, bool* hit) {
        for (const auto& entry : fs::directory_iterator(m_env.m_folder.Path())) fs::remove_all(entry.path());
        for (const auto& [name, contents] : m_scenario.files) m_env.m_folder.Write(name, contents);
        m_env.m_box.m_shown.clear();
        m_env.m_box.m_answers.clear();
        const auto faultsFrom = [plan] {
            if (plan)
                ArmFault(plan->kind, plan->nth, plan->error);
            else
                DisarmFaults();
        };
        const COutcome outcome = m_scenario.run(m_env, faultsFrom);
        if (hit) *hit = FaultDelivered();
        if (!plan)
            for (int kind = 0; kind < kFaultKindCount; ++kind)
                m_callsOfCleanRun[kind] = FaultCalls(static_cast<FaultKind>(kind));
        DisarmFaults();
        return outcome;
    }

    CFiles Folder() const {
        CFiles files;
        for (const auto& entry : fs::recursive_directory_iterator(m_env.m_folder.Path())) {
            const std::string name = entry.path().string().substr(m_env.m_folder.Path().size());
            files[name] = entry.is_regular_file() ? m_env.m_folder.Read(name) : "<not a file>";
        }
        return files;
    }

    static const std::string* Find(const CFiles& files, const std::string& name) {
        const auto found = files.find(name);
        return found == files.end() ? nullptr : &found->second;
    }

    void Check(const COutcome& outcome, bool hit, int cause) {
        const CFiles after = Folder();
        if (!hit) {
            EXPECT_TRUE(outcome.success) << outcome.message;
            EXPECT_EQ(after, m_expected);
            return;
        }
        if (outcome.success) {
            // A fault the job could rightly shrug off: then nothing may differ.
            EXPECT_EQ(after, m_expected) << "success reported with other files";
            return;
        }
        EXPECT_TRUE(NamesCause(outcome.message, cause)) << "the cause is missing from: " << outcome.message;

        const std::string& output = m_scenario.output;
        const std::string backup = output + ".bak";
        std::set<std::string> names;
        for (const CFiles* files : {&m_scenario.files, static_cast<const CFiles*>(&m_expected), &after})
            for (const auto& entry : *files) names.insert(entry.first);
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            const std::string* before = Find(m_scenario.files, name);
            const std::string* expected = Find(m_expected, name);
            const std::string* now = Find(after, name);
            if (!before && !expected) {
                ADD_FAILURE() << "left behind by a failed job";
                continue;
            }
            if (!before && now && name != backup && !m_scenario.otherNew.count(name)) {
                ADD_FAILURE() << "created by a failed job and left behind";
                continue;
            }
            if (name == output && before && now && *now != *before) {
                CheckTouchedOutput(*before, *now, expected ? *expected : std::string());
                continue;
            }
            const bool same = (now && before && *now == *before) || (!now && !before);
            const bool renewed = (now && expected && *now == *expected) || (!now && !expected);
            EXPECT_TRUE(same || renewed) << "neither old nor new";
        }
    }

    // The output changed although the job failed: the change must be one the rule allows, and
    // with a backup the ".bak" must hold what the output held and revert it exactly.
    void CheckTouchedOutput(const std::string& before, const std::string& now, const std::string& expected) {
        const std::string& output = m_scenario.output;
        switch (m_scenario.rule) {
        case OutputRule::oldOrNew: EXPECT_EQ(now, expected) << "a replaced file is half-written"; break;
        case OutputRule::lines:
            EXPECT_EQ(expected.compare(0, now.size(), now), 0) << "not the beginning of the new text";
            break;
        case OutputRule::records:
            ASSERT_EQ(now.size(), before.size());
            EXPECT_EQ(now.substr(0, kHeaderSize), before.substr(0, kHeaderSize));
            for (std::size_t at = kHeaderSize; at < now.size(); at += kRecordSize) {
                const std::string record = now.substr(at, kRecordSize);
                EXPECT_TRUE(record == before.substr(at, kRecordSize) || record == expected.substr(at, kRecordSize))
                    << "record at " << at << " is neither old nor new";
            }
            break;
        }
        if (!m_scenario.backup) return;
        EXPECT_EQ(m_env.m_folder.Read(output + ".bak"), before) << "the backup is not the output's old contents";
        std::string text;
        EXPECT_TRUE(RevertFromBackup(m_env.m_folder.Path() + output, text)) << text;
        EXPECT_EQ(m_env.m_folder.Read(output), before) << "revert did not restore the output";
    }

    const CScenario& m_scenario;
    CTestEnvironment m_env;
    CFiles m_expected;
    std::uint64_t m_callsOfCleanRun[kFaultKindCount] = {};
};

// Conversions in blocks of 64 records (or lines) on two worker threads.
const CConversionThreads kInBlocks {2, 64};

// A conversion job as the window runs it, its target loaded from its files first.
COutcome RunJob(CTestEnvironment& env, const std::function<void()>& faultsFrom, int button, bool backup,
                bool indexColumn = false, bool writeList = false, const CConversionThreads& threads = {}) {
    faultsFrom();
    CTargetInfo target(1);
    CSteadyProgress progress;
    CJobRequest request;
    request.binaryPath = "data.bin";
    request.textPath = "data.csv";
    request.slotButton = 1038;
    request.slotCaption = "Sweep";
    request.button = button;
    request.buttonCaption = button == ctlTextToBinary ? "Text => Binary" : "Binary => Text";
    request.firstColumnIsIndex = indexColumn;
    request.writeIndexList = writeList;
    request.makeBackup = backup;
    request.threads = threads;
    env.m_box.Answer(idYes); // the confirmation
    env.m_box.Answer(idYes); // replacing an output without a backup
    target.Load("t.ini");
    const CJobResult result = ConvertCommand(target, request, progress);
    if (result.outcome == JobOutcome::notReady) return {false, target.m_message};
    return {result.outcome == JobOutcome::ended, result.message};
}

COutcome RunCrypt(const std::function<void()>& faultsFrom, int encrypt) {
    faultsFrom();
    CTargetInfo target(1);
    CSteadyProgress progress;
    if (!target.Load("t.ini")) return {false, target.m_message};
    const std::string text = ConvertBinaryFile(target.m_codeTables, encrypt, "data.bin", progress);
    return {text.rfind("Put File", 0) == 0, text};
}

// Shows what the user sees of a window command: the error boxes it showed, if any.
COutcome WindowOutcome(const CTestEnvironment& env) {
    COutcome outcome {true, ""};
    for (const CMessageBoxRequest& box : env.m_box.m_shown) {
        outcome.success = false;
        outcome.message += box.text;
    }
    return outcome;
}

std::vector<CScenario> Scenarios() {
    const std::string indexList = "data-BRecordIndexList.tsv";
    std::vector<CScenario> scenarios;
    auto add = [&](CScenario scenario) { scenarios.push_back(std::move(scenario)); };

    CFiles toBinary = TargetFiles();
    toBinary["data.bin"] = Binary(1);
    toBinary["data.bin.bak"] = "an older generation";
    toBinary["data.csv"] = Text(2);
    add({"to-binary with backup", toBinary, "data.bin", OutputRule::records, true, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlTextToBinary, true); }});
    add({"to-binary without backup", toBinary, "data.bin", OutputRule::records, false, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlTextToBinary, false); }});
    add({"to-binary in blocks", toBinary, "data.bin", OutputRule::records, false, {},
         [](CTestEnvironment& env, const auto& faultsFrom) {
             return RunJob(env, faultsFrom, ctlTextToBinary, false, false, false, kInBlocks);
         }});

    // By an index list: the lines go to every other record.
    CFiles byList = TargetFiles("BRecordIndexListFilePath=list.tsv\r\n");
    std::string list = "0\r\n";
    std::string listed = "//No,Kind,F1,F2,F3,F4,Name\r\n";
    for (int n = 1; n < kRecordCount; n += 2) {
        list += std::to_string(n) + "\r\n";
        listed += Line(n, 3) + "\r\n";
    }
    byList["list.tsv"] = list;
    byList["data.bin"] = Binary(1);
    byList["data.csv"] = listed;
    add({"to-binary by index list", byList, "data.bin", OutputRule::records, true, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlTextToBinary, true); }});
    add({"to-binary by index list in blocks", byList, "data.bin", OutputRule::records, false, {},
         [](CTestEnvironment& env, const auto& faultsFrom) {
             return RunJob(env, faultsFrom, ctlTextToBinary, false, false, false, kInBlocks);
         }});

    // Record numbers in the first column, written out as an index list that replaces an old one.
    CFiles numbered = TargetFiles();
    std::string numberedText = "//No,Kind,F1,F2,F3,F4,Name\r\n";
    for (int n = 0; n < kRecordCount; n += 3) numberedText += Line(n, 4) + "\r\n";
    numbered["data.bin"] = Binary(1);
    numbered["data.csv"] = numberedText;
    numbered[indexList] = "// an older list\r\n0\r\n1\r\n";
    add({"to-binary writing its index list", numbered, "data.bin", OutputRule::records, false, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlTextToBinary, false, true, true); }});

    CFiles toText = TargetFiles();
    toText["data.bin"] = Binary(5);
    toText["data.csv"] = "an older text\r\n";
    add({"to-text with backup", toText, "data.csv", OutputRule::lines, true, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlBinaryToText, true); }});
    add({"to-text in blocks", toText, "data.csv", OutputRule::lines, true, {},
         [](CTestEnvironment& env, const auto& faultsFrom) {
             return RunJob(env, faultsFrom, ctlBinaryToText, true, false, false, kInBlocks);
         }});
    toText.erase("data.csv");
    add({"to-text into a new file", toText, "data.csv", OutputRule::lines, true, {},
         [](CTestEnvironment& env, const auto& faultsFrom) { return RunJob(env, faultsFrom, ctlBinaryToText, true); }});

    CFiles revert = {{"data.bin", Binary(6)}, {"data.bin.bak", Binary(7)}};
    add({"revert", revert, "data.bin", OutputRule::oldOrNew, false, {},
         [](CTestEnvironment&, const auto& faultsFrom) {
             faultsFrom();
             std::string text;
             const bool reverted = RevertFromBackup("data.bin", text);
             return COutcome {reverted, text};
         }});

    CFiles crypt = TargetFiles();
    crypt["data.bin"] = Binary(8);
    add({"decrypt", crypt, "", OutputRule::oldOrNew, false, {},
         [](CTestEnvironment&, const auto& faultsFrom) { return RunCrypt(faultsFrom, 0); }});
    add({"encrypt", crypt, "", OutputRule::oldOrNew, false, {},
         [](CTestEnvironment&, const auto& faultsFrom) { return RunCrypt(faultsFrom, 1); }});
    add({"invert", TargetFiles(), "", OutputRule::oldOrNew, false, {},
         [](CTestEnvironment&, const auto& faultsFrom) {
             faultsFrom();
             CTargetInfo target(1);
             if (!target.Load("t.ini")) return COutcome {false, target.m_message};
             const std::string text = WriteInverse(target.m_codeTables, 0);
             return COutcome {text.rfind("Put File", 0) == 0, text};
         }});

    // The window saves a slot's target into the settings file and a binary path into the target.
    CFiles window = TargetFiles();
    window["morvane.ini"] = "[DialogPosition]\r\nvalidity=1\r\nleft=5\r\ntop=6\r\n[FileInfoDefaultRP]\r\n"
                            "FileInfo1 = t.ini\r\n";
    add({"settings writes by the window", window, "", OutputRule::oldOrNew, false, {},
         [](CTestEnvironment& env, const auto& faultsFrom) {
             // The settings are read before the window opens; the faults meet its writes.
             CAppState app;
             app.LoadSettings(env.m_folder.Path() + "morvane.ini");
             CSteadyProgress progress;
             CScriptedShell shell;
             CMainWindowModel model(app, progress, shell);
             model.Initialize();
             faultsFrom();
             model.Command(idSaveTarget);
             model.EditField(idBinaryField, "other.dat");
             model.Command(idSaveBinary);
             return WindowOutcome(env);
         }});
    return scenarios;
}

class FaultSweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FaultSweep, EveryFailureIsReportedAndLosesNothing) {
    const std::vector<CScenario> scenarios = Scenarios();
    const CScenario& scenario = scenarios.at(GetParam());
    SCOPED_TRACE(scenario.name);
    CSweep(scenario).Run();
}

INSTANTIATE_TEST_SUITE_P(Jobs, FaultSweep, ::testing::Range<std::size_t>(0, Scenarios().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = Scenarios().at(info.param).name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
