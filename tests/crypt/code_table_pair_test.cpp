#include "crypt/code_table_pair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <optional>
#include <random>

#include "platform/file.h"
#include "tests/common/allocation_failure.h"
#include "tests/common/test_support.h"
#include "tests/crypt/code_table_samples.h"

namespace {

// Every byte value passed through one table of the pair.
CodeTableBytes Through(const CCodeTablePair& pair, int encrypt, const CodeTableBytes& source) {
    CodeTableBytes out{};
    pair.Transform(out.data(), encrypt, out.size(), source.data());
    return out;
}

// A pair that is not usable passes bytes unchanged, whatever its tables may still hold.
void ExpectUnchanged(const CCodeTablePair& pair) {
    const CodeTableBytes all = IdentityTable();
    EXPECT_EQ(Through(pair, 0, all), all);
    EXPECT_EQ(Through(pair, 1, all), all);
}

} // namespace

TEST(CodeTablePair, WithoutTableFilesThePairIsNotInUse) {
    CTestEnvironment env;
    CCodeTablePair pair;
    pair.Reset();
    EXPECT_EQ(pair.m_name, "ManageCrypt");
    EXPECT_EQ(pair.m_decryptTable.m_name, "Decrypt");
    EXPECT_EQ(pair.m_encryptTable.m_name, "Encrypt");
    EXPECT_TRUE(pair.Load("", ""));
    EXPECT_EQ(pair.m_ok, 0);
    EXPECT_EQ(pair.m_message, "");
    ExpectUnchanged(pair);
}

// One given table: the other becomes its inverse, usable by the pair but not as a file of its own.
TEST(CodeTablePair, OneTableFileDerivesTheOther) {
    for (int encryptGiven : {0, 1}) {
        SCOPED_TRACE(encryptGiven);
        CTestEnvironment env;
        const CodeTableBytes table = ShuffledTable(11);
        env.m_folder.Write("one.tbl", Bytes(table));
        CCodeTablePair pair;
        pair.Reset();
        ASSERT_TRUE(encryptGiven ? pair.Load("", "one.tbl") : pair.Load("one.tbl", "")) << pair.m_message;
        EXPECT_EQ(pair.m_ok, 1);
        EXPECT_EQ(pair.m_message, "");
        EXPECT_EQ(pair.Table(encryptGiven).m_ok, 1);
        EXPECT_EQ(pair.Table(!encryptGiven).m_ok, 0);
        EXPECT_EQ(pair.Table(!encryptGiven).m_pathAsWritten, "");

        const CodeTableBytes all = IdentityTable();
        EXPECT_EQ(Through(pair, encryptGiven, all), table);
        EXPECT_EQ(Through(pair, !encryptGiven, all), InverseTable(table));
        EXPECT_EQ(Through(pair, 1, Through(pair, 0, all)), all);
        EXPECT_EQ(Through(pair, 0, Through(pair, 1, all)), all);
    }
}

TEST(CodeTablePair, TwoInverseTablesLoadAndTransformInPlace) {
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(12);
    env.m_folder.Write("dec.tbl", Bytes(decrypt));
    // The encryption file is longer; its extra bytes are not read.
    env.m_folder.Write("enc.tbl", Bytes(InverseTable(decrypt)) + std::string(44, '\0'));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("dec.tbl", "enc.tbl")) << pair.m_message;
    EXPECT_EQ(pair.m_ok, 1);
    EXPECT_EQ(pair.m_decryptTable.m_ok, 1);
    EXPECT_EQ(pair.m_encryptTable.m_ok, 1);

    CodeTableBytes record = IdentityTable();
    pair.Transform(record.data(), 0, record.size(), record.data());
    EXPECT_EQ(record, decrypt);
    pair.Transform(record.data(), 1, record.size(), record.data());
    EXPECT_EQ(record, IdentityTable());
}

TEST(CodeTablePair, IdentityTableAndEmptyTransformChangeNothing) {
    CTestEnvironment env;
    env.m_folder.Write("id.tbl", Bytes(IdentityTable()));
    CCodeTablePair pair;
    pair.Reset();
    ASSERT_TRUE(pair.Load("id.tbl", "id.tbl")) << pair.m_message;
    EXPECT_EQ(Through(pair, 0, ShuffledTable(13)), ShuffledTable(13));
    EXPECT_EQ(Through(pair, 1, ShuffledTable(13)), ShuffledTable(13));

    env.m_folder.Write("dec.tbl", Bytes(ShuffledTable(14)));
    ASSERT_TRUE(pair.Load("dec.tbl", ""));
    const std::uint8_t source[] = {1, 2, 3};
    std::uint8_t destination[] = {7, 7, 7};
    pair.Transform(destination, 0, 0, source);
    EXPECT_EQ(destination[0], 7);
    EXPECT_EQ(destination[2], 7);
}

// Every failure text of a load, with the built-in words and with one word translated.
TEST(CodeTablePair, LoadFailuresComposeTheirTexts) {
    CodeTableBytes repeated = IdentityTable();
    repeated[200] = repeated[0];
    // Shifted by 7 against its decryption table, with two entries swapped: the round trip first
    // differs at 13, whose decrypted byte is 20.
    CodeTableBytes shifted{};
    CodeTableBytes unshifted{};
    for (unsigned i = 0; i < kCodeTableSize; ++i) {
        shifted[i] = static_cast<std::uint8_t>(i + 7);
        unshifted[i] = static_cast<std::uint8_t>(i - 7);
    }
    std::swap(unshifted[20], unshifted[30]);

    struct Case {
        const char* label;
        std::optional<std::string> decryptFile, encryptFile; // contents of the files written
        std::string decryptPath, encryptPath;
        std::string translation;
        std::string builtIn, translated;
    };
    const std::string valid = Bytes(ShuffledTable(15));
    const std::vector<Case> cases = {
        {"missing decryption file", std::nullopt, std::nullopt, "dec.tbl", "", "msg.FilePath=Dateipfad\r\n",
         "Decrypt Error\r\nFilePath ", "Decrypt Error\r\nDateipfad "},
        {"path without extension", std::nullopt, std::nullopt, "", "table", "msg.Encrypt=Verschlüsseln\r\n",
         "Encrypt Error\r\nFilePath ", "Verschlüsseln Error\r\nFilePath "},
        {"missing encryption file beside a valid one", valid, std::nullopt, "dec.tbl", "enc.tbl", "msg.Error=Fehler\r\n",
         "Encrypt Error\r\nFilePath ", "Encrypt Fehler\r\nFilePath "},
        {"255 bytes", std::string(255, '\x01'), std::nullopt, "dec.tbl", "", "msg.Can't read file=Nicht lesbar\r\n",
         "Decrypt Error\r\nCan't read file\r\ndec.tbl", "Decrypt Error\r\nNicht lesbar\r\ndec.tbl"},
        {"empty file", std::nullopt, std::string(), "", "enc.tbl", "msg.Can't read file=Nicht lesbar\r\n",
         "Encrypt Error\r\nCan't read file\r\nenc.tbl", "Encrypt Error\r\nNicht lesbar\r\nenc.tbl"},
        {"repeated value", Bytes(repeated), std::nullopt, "dec.tbl", "", "msg.Code (1 Byte) Repeated=Code doppelt\r\n",
         "Decrypt Error\r\nCode (1 Byte) Repeated at 200 Byte\r\n dec.tbl",
         "Decrypt Error\r\nCode doppelt at 200 Byte\r\n dec.tbl"},
        {"repeated value in the encryption table", valid, Bytes(repeated), "dec.tbl", "enc.tbl",
         "msg.Byte=Octet\r\n", "Encrypt Error\r\nCode (1 Byte) Repeated at 200 Byte\r\n enc.tbl",
         "Encrypt Error\r\nCode (1 Byte) Repeated at 200 Octet\r\n enc.tbl"},
        {"tables not inverse", Bytes(shifted), Bytes(unshifted), "dec.tbl", "enc.tbl",
         "msg.Inconsistent=Widersprüchlich\r\n",
         "Inconsistent\r\n at 13 Byte\r\n dec.tbl\r\n at 20 Byte\r\n enc.tbl",
         "Widersprüchlich\r\n at 13 Byte\r\n dec.tbl\r\n at 20 Byte\r\n enc.tbl"},
    };
    for (const Case& c : cases) {
        for (bool translate : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (translate ? " translated" : ""));
            CTestEnvironment env;
            if (translate) env.Translate(c.translation);
            if (c.decryptFile) env.m_folder.Write("dec.tbl", *c.decryptFile);
            if (c.encryptFile) env.m_folder.Write("enc.tbl", *c.encryptFile);
            CCodeTablePair pair;
            pair.Reset();
            EXPECT_FALSE(pair.Load(c.decryptPath, c.encryptPath));
            EXPECT_EQ(pair.m_ok, 0);
            EXPECT_EQ(pair.m_message, translate ? c.translated : c.builtIn);
            ExpectUnchanged(pair);
        }
    }
}

TEST(CodeTablePair, FileLockedByAWriterFailsTheAccessCheck) {
    for (bool translate : {false, true}) {
        SCOPED_TRACE(translate);
        CTestEnvironment env;
        if (translate) env.Translate("msg.Can't open file=Nicht zu öffnen\r\n");
        const std::string fullPath = env.m_folder.Write("dec.tbl", Bytes(ShuffledTable(16)));
        CFile writer(fullPath, modeReadWrite | typeBinary);
        CCodeTablePair pair;
        pair.Reset();
        EXPECT_FALSE(pair.Load("dec.tbl", ""));
        EXPECT_EQ(pair.m_ok, 0);
        EXPECT_EQ(pair.m_message, "Decrypt Error\r\nFilePath\r\n" +
                                      std::string(translate ? "Nicht zu öffnen" : "Can't open file") + "\r\n11 " +
                                      CFileException::Describe(CFileException::sharingViolation, fullPath) +
                                      "\r\ndec.tbl");
        EXPECT_EQ(pair.ComposeError().substr(0, 19), "ManageCrypt Error\r\n");
    }
}

// A reload starts from nothing: neither an earlier failure nor an earlier table survives it.
TEST(CodeTablePair, ReloadForgetsTheEarlierLoad) {
    CTestEnvironment env;
    const CodeTableBytes decrypt = ShuffledTable(17);
    env.m_folder.Write("dec.tbl", Bytes(decrypt));
    env.m_folder.Write("enc.tbl", Bytes(InverseTable(decrypt)));
    CCodeTablePair pair;
    pair.Reset();
    EXPECT_FALSE(pair.Load("missing.tbl", ""));
    ASSERT_TRUE(pair.Load("dec.tbl", "enc.tbl"));
    EXPECT_EQ(pair.m_message, "");

    ASSERT_TRUE(pair.Load("dec.tbl", ""));
    EXPECT_EQ(pair.m_encryptTable.m_ok, 0);
    EXPECT_EQ(pair.m_encryptTable.m_pathAsWritten, "");

    EXPECT_TRUE(pair.Load("", ""));
    EXPECT_EQ(pair.m_decryptTable.m_ok, 0);
    EXPECT_FALSE(pair.m_decryptTable.HasData());
    ExpectUnchanged(pair);
}

// Whichever allocation of a load fails, the load ends either as it would have or with the
// shortage in its message.
TEST(CodeTablePair, AllocationFailuresEndAsMemoryShort) {
    CodeTableBytes wrongInverse = ShuffledTable(18);
    std::swap(wrongInverse[0], wrongInverse[1]);
    const CodeTableBytes decrypt = ShuffledTable(18);
    for (bool consistent : {true, false}) {
        SCOPED_TRACE(consistent);
        CTestEnvironment env;
        env.m_folder.Write("dec.tbl", Bytes(decrypt));
        env.m_folder.Write("enc.tbl", Bytes(consistent ? InverseTable(decrypt) : wrongInverse));
        CCodeTablePair pair;
        pair.Reset();
        const bool expectedResult = pair.Load("dec.tbl", "enc.tbl");
        const std::string expectedMessage = pair.m_message;
        EXPECT_EQ(expectedResult, consistent);

        int shortages = 0;
        for (long before = 0;; ++before) {
            FailAllocationAfter(before);
            const bool result = pair.Load("dec.tbl", "enc.tbl");
            const bool failed = DisarmAllocationFailure();
            if (!failed) break;
            SCOPED_TRACE(before);
            if (result == expectedResult && pair.m_message == expectedMessage) continue;
            ++shortages;
            EXPECT_FALSE(result);
            EXPECT_EQ(pair.m_ok, 0);
            EXPECT_NE(pair.m_message.find("Memory short"), std::string::npos) << pair.m_message;
        }
        EXPECT_GT(shortages, 0);
    }
}
