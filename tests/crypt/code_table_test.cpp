#include "crypt/code_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <random>
#include <stdexcept>

#include "vocabulary/messages.h"
#include "platform/file.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

namespace {

CodeTableBytes Shuffled(unsigned seed) {
    CodeTableBytes table{};
    for (unsigned i = 0; i < kCodeTableSize; ++i) table[i] = static_cast<std::uint8_t>(i);
    std::mt19937 random(seed);
    std::shuffle(table.begin(), table.end(), random);
    return table;
}

std::string Bytes(const CodeTableBytes& table) { return std::string(table.begin(), table.end()); }

// A table whose file is opened by the test, standing for a file that changes between the
// access check and the opening.
class CScriptedOpenTable : public CCodeTable {
public:
    std::function<void(CFile&, const std::string&)> m_open;

protected:
    void OpenForReading(CFile& file, const std::string& fullPath) override { m_open(file, fullPath); }
};

} // namespace

TEST(CodeTable, LoadFileReadsTheFirst256Bytes) {
    CTestEnvironment env;
    const CodeTableBytes table = Shuffled(1);
    // Trailing bytes repeat values, so reading them would make the table fail later.
    for (const std::string& tail : {std::string(), std::string(1, '\x05'), std::string(44, '\x05')}) {
        SCOPED_TRACE(tail.size());
        env.m_folder.Write("dec.tbl", Bytes(table) + tail);
        CCodeTable code;
        code.Reset("Decrypt");
        ASSERT_TRUE(code.LoadFile("dec.tbl"));
        EXPECT_EQ(code.m_ok, 1);
        EXPECT_EQ(code.m_message, "");
        EXPECT_EQ(code.m_pathAsWritten, "dec.tbl");
        EXPECT_EQ(code.m_pathKind, pathRelative);
        EXPECT_TRUE(code.HasData());
        EXPECT_EQ(code.Data(), table);
        CodeTableBytes inverse{};
        EXPECT_TRUE(code.BuildInverse(inverse));
    }
}

TEST(CodeTable, LoadFileTakesAnAbsolutePath) {
    CTestEnvironment env;
    const CodeTableBytes table = Shuffled(2);
    const std::string path = env.m_folder.Write("abs.tbl", Bytes(table));
    CCodeTable code;
    ASSERT_TRUE(code.LoadFile(path)) << code.m_message;
    EXPECT_EQ(code.m_pathKind, pathAbsolute);
    EXPECT_EQ(code.Data(), table);
}

TEST(CodeTable, LoadFileRejectsShortFilesAndFreesData) {
    CTestEnvironment env;
    for (std::size_t size : {0u, 1u, 255u}) {
        SCOPED_TRACE(size);
        env.m_folder.Write("short.tbl", std::string(size, '\x01'));
        CCodeTable code;
        code.Reset("Decrypt");
        code.SetData(Shuffled(3));
        EXPECT_FALSE(code.LoadFile("short.tbl"));
        EXPECT_EQ(code.m_ok, 0);
        EXPECT_EQ(code.m_message, "Can't read file\r\nshort.tbl");
        EXPECT_FALSE(code.HasData());
        EXPECT_EQ(code.Data(), CodeTableBytes{});
        EXPECT_EQ(code.m_name, "Decrypt");
    }
}

// Failures of the opening and reading, each with the built-in words and with one word translated.
TEST(CodeTable, OpenAndReadFailuresComposeTheirTexts) {
    struct Case {
        const char* label;
        std::function<void(CFile&, const std::string&)> open;
        const char* translation;
        std::function<std::string(const std::string& fullPath)> builtIn;
        std::function<std::string(const std::string& fullPath)> translated;
    };
    // Reading a file opened only for writing: the system's cause for it.
    const auto invalidHandle = [](const std::string& fullPath) {
        const int cause = ReadOfWriteOnlyFileCause();
        return std::to_string(cause) + " " + CFileException::Describe(cause, fullPath);
    };
    const std::vector<Case> cases = {
        {"open fails",
         [](CFile& file, const std::string& fullPath) { file.Open(fullPath + ".gone", modeRead | typeBinary); },
         "msg.Can't open file=Nicht zu öffnen\r\n",
         [](const std::string& fullPath) {
             return "Decrypt Error\r\nCan't open file\r\n2 " + CFileException::Describe(2, fullPath + ".gone") +
                    "\r\ndec.tbl";
         },
         [](const std::string& fullPath) {
             return "Decrypt Error\r\nNicht zu öffnen\r\n2 " + CFileException::Describe(2, fullPath + ".gone") +
                    "\r\ndec.tbl";
         }},
        {"read fails",
         [](CFile& file, const std::string& fullPath) { file.Open(fullPath, modeWrite | typeBinary); },
         "msg.Error=Fehler\r\n",
         [&](const std::string& fullPath) { return "Decrypt Error\r\n" + invalidHandle(fullPath) + "\r\ndec.tbl"; },
         [&](const std::string& fullPath) { return "Decrypt Fehler\r\n" + invalidHandle(fullPath) + "\r\ndec.tbl"; }},
        {"other exception",
         [](CFile&, const std::string&) { throw std::runtime_error("device detached"); },
         "msg.Decrypt=Entschlüsseln\r\n",
         [](const std::string&) { return std::string("Decrypt Error\r\ndevice detached\r\ndec.tbl"); },
         [](const std::string&) { return std::string("Entschlüsseln Error\r\ndevice detached\r\ndec.tbl"); }},
        {"unknown exception",
         [](CFile&, const std::string&) { throw 7; },
         "msg.System=Systemfehler\r\n",
         [](const std::string&) { return std::string("Decrypt Error\r\nSystem\r\ndec.tbl"); },
         [](const std::string&) { return std::string("Decrypt Error\r\nSystemfehler\r\ndec.tbl"); }},
        {"memory short",
         [](CFile&, const std::string&) { throw std::bad_alloc(); },
         "msg.Memory short=Speicher knapp\r\n",
         [](const std::string&) { return std::string("Decrypt Error\r\nMemory short\r\ndec.tbl"); },
         [](const std::string&) { return std::string("Decrypt Error\r\nSpeicher knapp\r\ndec.tbl"); }},
    };
    for (const Case& c : cases) {
        for (bool translate : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (translate ? " translated" : ""));
            CTestEnvironment env;
            if (translate) env.Translate(c.translation);
            const std::string fullPath = env.m_folder.Write("dec.tbl", Bytes(Shuffled(4)));
            CScriptedOpenTable code;
            code.m_open = c.open;
            code.Reset(Word(wDecrypt));
            EXPECT_FALSE(code.LoadFile("dec.tbl"));
            EXPECT_EQ(code.m_ok, 0);
            EXPECT_FALSE(code.HasData());
            EXPECT_EQ(code.ComposeError(), translate ? c.translated(fullPath) : c.builtIn(fullPath));
        }
    }
}

// The note names the second occurrence of the first value found repeated.
TEST(CodeTable, BuildInverseNamesTheRepeatedPosition) {
    struct Case {
        unsigned first, second, reported;
        unsigned alsoFirst, alsoSecond; // a later repeat; equal values mean none
    };
    const Case cases[] = {
        {0, 1, 1, 0, 0},     {0, 200, 200, 0, 0},   {254, 255, 255, 0, 0},
        {17, 255, 255, 0, 0}, {40, 90, 90, 3, 120}, {30, 60, 60, 1, 61},
    };
    for (bool translate : {false, true}) {
        CTestEnvironment env;
        if (translate) env.Translate("msg.Byte=Octet\r\n");
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.second) + (translate ? " translated" : ""));
            CodeTableBytes table{};
            for (unsigned i = 0; i < kCodeTableSize; ++i) table[i] = static_cast<std::uint8_t>(i);
            table[c.second] = table[c.first];
            if (c.alsoFirst != c.alsoSecond) table[c.alsoSecond] = table[c.alsoFirst];
            env.m_folder.Write("rep.tbl", Bytes(table));
            CCodeTable code;
            ASSERT_TRUE(code.LoadFile("rep.tbl"));
            CodeTableBytes inverse{};
            EXPECT_FALSE(code.BuildInverse(inverse));
            EXPECT_EQ(code.m_ok, 0);
            EXPECT_EQ(code.m_message, "Code (1 Byte) Repeated at " + std::to_string(c.reported) +
                                          (translate ? " Octet" : " Byte") + "\r\n rep.tbl");
        }
    }
}
