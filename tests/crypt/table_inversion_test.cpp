#include "crypt/table_inversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "crypt/code_table_pair.h"
#include "platform/system.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"
#include "tests/crypt/code_table_samples.h"

namespace {

const CLocalTime kNow {2024, 11, 23, 17, 45, 9};
const std::string kStamp = "-1123-174509";

std::size_t CountOutputs(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".dat") ++count;
    return count;
}

class TableInversion : public ::testing::Test {
protected:
    void SetUp() override { FixLocalTime(&kNow); }
    void TearDown() override { FixLocalTime(nullptr); }
};

// With one table file the other table is derived; its inverse file makes a consistent pair
// with the given file. The derived table has no file to invert.
TEST_F(TableInversion, DerivedInverseLoadsAsAConsistentPair) {
    for (int fromEncrypt : {0, 1}) {
        SCOPED_TRACE(fromEncrypt);
        CTestEnvironment env;
        const CodeTableBytes given = ShuffledTable(1);
        env.m_folder.Write("tables/one.tbl", Bytes(given));
        CCodeTablePair pair;
        pair.Reset();
        ASSERT_TRUE(fromEncrypt ? pair.Load("", "tables/one.tbl") : pair.Load("tables/one.tbl", ""));

        const std::string written = "tables/one-Reverse" + kStamp + ".dat";
        EXPECT_EQ(WriteInverse(pair, fromEncrypt), "Put File =\r\n" + written);
        EXPECT_EQ(env.m_folder.Read(written), Bytes(InverseTable(given)));

        EXPECT_EQ(WriteInverse(pair, !fromEncrypt), "Error ManageCrypt");
        EXPECT_EQ(CountOutputs(env.m_folder.Path()), 1u);

        CCodeTablePair reloaded;
        reloaded.Reset();
        EXPECT_TRUE(fromEncrypt ? reloaded.Load(written, "tables/one.tbl") : reloaded.Load("tables/one.tbl", written))
            << reloaded.m_message;
        EXPECT_EQ(reloaded.m_ok, 1);
    }
}

// With two consistent files either command writes the other table's file (its first 256 bytes).
TEST_F(TableInversion, BothFilesGiveEachOther) {
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(2);
    CTempFolder elsewhere;
    const std::string decPath = elsewhere.Write("dec.tbl", Bytes(decrypt));
    env.m_folder.Write("enc.tbl", Bytes(InverseTable(decrypt)) + std::string(44, '\x07'));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load(decPath, "enc.tbl")) << pair.m_message;

    // A table outside the program folder is named in full, one inside it relative.
    const std::string fromDecrypt = elsewhere.Path() + "dec-Reverse" + kStamp + ".dat";
    EXPECT_EQ(WriteInverse(pair, 0), "Put File =\r\n" + fromDecrypt);
    EXPECT_EQ(elsewhere.Read(fromDecrypt), Bytes(InverseTable(decrypt)));
    EXPECT_EQ(WriteInverse(pair, 1), "Put File =\r\nenc-Reverse" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("enc-Reverse" + kStamp + ".dat"), Bytes(decrypt));
    EXPECT_EQ(pair.m_ok, 1);
    EXPECT_EQ(pair.m_decryptTable.m_message, "");
}

TEST_F(TableInversion, IdentityInvertsToItself) {
    CTestEnvironment env;
    env.m_folder.Write("id.tbl", Bytes(IdentityTable()));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("id.tbl", ""));
    EXPECT_EQ(WriteInverse(pair, 0), "Put File =\r\nid-Reverse" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("id-Reverse" + kStamp + ".dat"), Bytes(IdentityTable()));
}

// A table file without an extension, or a hidden one, names the inverse after its whole name.
TEST_F(TableInversion, TablesWithoutExtension) {
    if (!ExistingFilesNeedNoExtension()) GTEST_SKIP() << "only names with an extension name files here";
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(4);
    env.m_folder.Write("tables/dec", Bytes(decrypt));
    env.m_folder.Write("tables/.enc", Bytes(InverseTable(decrypt)));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("tables/dec", "tables/.enc")) << pair.m_message;
    EXPECT_EQ(WriteInverse(pair, 0), "Put File =\r\ntables/dec-Reverse" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("tables/dec-Reverse" + kStamp + ".dat"), Bytes(InverseTable(decrypt)));
    EXPECT_EQ(WriteInverse(pair, 1), "Put File =\r\ntables/.enc-Reverse" + kStamp + ".dat");
    EXPECT_EQ(env.m_folder.Read("tables/.enc-Reverse" + kStamp + ".dat"), Bytes(decrypt));
}

// A second run within the same second replaces the first one's file, whatever it held.
TEST_F(TableInversion, SameSecondReplacesTheFile) {
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(3);
    env.m_folder.Write("dec.tbl", Bytes(decrypt));
    const std::string written = "dec-Reverse" + kStamp + ".dat";
    env.m_folder.Write(written, std::string(1000, 'x'));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("dec.tbl", ""));
    WriteInverse(pair, 0);
    EXPECT_EQ(env.m_folder.Read(written), Bytes(InverseTable(decrypt)));
}

TEST_F(TableInversion, AllocationFailuresEndAsMemoryShort) {
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(5);
    env.m_folder.Write("dec.tbl", Bytes(decrypt));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("dec.tbl", ""));
    const std::string written = "dec-Reverse" + kStamp + ".dat";
    int shortages = 0;
    for (long granted = 0;; ++granted) {
        SCOPED_TRACE(granted);
        FailAllocationAfter(granted);
        const std::string result = WriteInverse(pair, 0);
        if (!DisarmAllocationFailure()) {
            EXPECT_EQ(result, "Put File =\r\n" + written);
            break;
        }
        if (result == "Error Memory short") {
            ++shortages;
        } else {
            EXPECT_EQ(result, "Put File =\r\n" + written);
        }
    }
    EXPECT_GT(shortages, 0);
    EXPECT_EQ(env.m_folder.Read(written), Bytes(InverseTable(decrypt)));
    EXPECT_EQ(pair.m_ok, 1);
}

TEST_F(TableInversion, FailuresComposeTheirTexts) {
    enum class Setup { notInUse, failedLoad, outputBlocked };
    struct Case {
        const char* label;
        Setup setup;
        std::string translation;
        std::string builtIn, translated;
    };
    const std::vector<Case> cases = {
        {"pair not in use", Setup::notInUse, "msg.ManageCrypt=Schluessel\r\n", "Error ManageCrypt",
         "Error Schluessel"},
        {"pair failed to load", Setup::failedLoad, "msg.Error=Fehler\r\n", "Error ManageCrypt", "Fehler ManageCrypt"},
        {"output cannot be created", Setup::outputBlocked, "msg.Can't open file=Nicht zu oeffnen\r\n",
         "Error Can't open file", "Error Nicht zu oeffnen"},
    };
    const std::string written = "dec-Reverse" + kStamp + ".dat";
    for (const Case& c : cases) {
        for (bool translate : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (translate ? " translated" : ""));
            CTestEnvironment env;
            if (translate) env.Translate(c.translation);
            CodeTableBytes repeated = ShuffledTable(4);
            repeated[9] = repeated[3];
            env.m_folder.Write("dec.tbl", Bytes(c.setup == Setup::failedLoad ? repeated : ShuffledTable(4)));
            if (c.setup == Setup::outputBlocked) std::filesystem::create_directory(env.m_folder.Path() + written);
            CCodeTablePair pair;
            pair.Reset();
            pair.Load(c.setup == Setup::notInUse ? "" : "dec.tbl", "");
            for (int fromEncrypt : {0, 1}) {
                if (c.setup == Setup::outputBlocked && fromEncrypt) continue; // the derived table has no file
                std::string expected = translate ? c.translated : c.builtIn;
                if (c.setup == Setup::outputBlocked)
                    expected += "\r\n5 " + CFileException::Describe(5, env.m_folder.Path() + written);
                EXPECT_EQ(WriteInverse(pair, fromEncrypt), expected);
            }
            EXPECT_EQ(CountOutputs(env.m_folder.Path()), c.setup == Setup::outputBlocked ? 1u : 0u);
            EXPECT_TRUE(std::filesystem::is_directory(env.m_folder.Path() + written) ==
                        (c.setup == Setup::outputBlocked));
        }
    }
}

} // namespace
