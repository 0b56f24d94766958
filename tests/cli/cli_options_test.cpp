#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return words;
}

TEST(CliOptions, UsageErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no command given"},
        {"--home", "--home needs a value"},
        {"convert --slot 1", "unknown command convert"},
        {"info", "info needs --target FILE or --slot N"},
        {"info --slot 4", "--slot takes 1, 2 or 3"},
        {"info --slot 1 --yes", "--yes is not an option of info"},
        {"to-text --slot 1 --index-column", "--index-column is not an option of to-text"},
        {"decrypt --slot 1 --text a.csv", "--text is not an option of decrypt"},
        {"invert --slot 1", "invert needs --from decrypt or --from encrypt"},
        {"invert --slot 1 --from both", "--from takes decrypt or encrypt"},
        {"revert", "revert needs a FILE"},
        {"revert a.csv b.csv", "revert takes one file"},
        {"to-binary --target", "--target needs a value"},
        {"check", "check needs --target FILE or --slot N"},
        {"check --slot 1 --limit", "--limit needs a value"},
        {"check --slot 1 --limit -1", "--limit takes a number of 0 or more"},
        {"check --slot 1 --limit 1x", "--limit takes a number of 0 or more"},
        {"check --slot 1 --limit 99999999999999999999999", "--limit takes a number of 0 or more"},
        {"check --slot 1 --write-index-list", "--write-index-list is not an option of check"},
        {"check --slot 1 --yes", "--yes is not an option of check"},
        {"to-binary --slot 1 --limit 5", "--limit is not an option of to-binary"},
        {"preview", "preview needs --target FILE or --slot N"},
        {"preview --slot 1 --from 0", "--from takes a record number of 1 or more"},
        {"preview --slot 1 --from decrypt", "--from takes a record number of 1 or more"},
        {"preview --slot 1 --count -2", "--count takes a number of 0 or more"},
        {"preview --slot 1 --text a.csv", "--text is not an option of preview"},
        {"info --slot 1 --hex", "--hex is not an option of info"},
        {"invert --slot 1 --count 3", "--count is not an option of invert"},
        {"to-text --slot 1 --threads 0", "--threads takes a number from 1 to 256"},
        {"to-binary --slot 1 --threads 257", "--threads takes a number from 1 to 256"},
        {"to-text --slot 1 --threads two", "--threads takes a number from 1 to 256"},
        {"check --slot 1 --threads 2", "--threads is not an option of check"},
    };
    for (const auto& [line, error] : cases) {
        CCliOptions options;
        std::string reason;
        EXPECT_FALSE(ParseCommandLine(Split(line), options, reason)) << line;
        EXPECT_EQ(reason, error) << line;
    }
}

TEST(CliOptions, EveryOptionLandsInItsPlace) {
    CCliOptions options;
    std::string reason;
    ASSERT_TRUE(ParseCommandLine(Split("--home /opt/m --quiet to-binary --slot 2 --text in.csv --binary  "
                                       "--index-column --write-index-list --no-backup --yes --threads 3"),
                                 options, reason))
        << reason;
    EXPECT_EQ(options.home, "/opt/m");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.command, "to-binary");
    EXPECT_EQ(options.slot, 2);
    EXPECT_EQ(options.text, "in.csv");
    EXPECT_EQ(options.binary, ""); // given empty: the output name is derived
    EXPECT_TRUE(options.indexColumn && options.writeIndexList && options.noBackup && options.yes);
    EXPECT_EQ(options.threads, 3u);

    CCliOptions check;
    ASSERT_TRUE(ParseCommandLine(Split("check --target t.ini --binary b.dat --text t.csv --index-column --limit 0"),
                                 check, reason))
        << reason;
    EXPECT_EQ(check.command, "check");
    EXPECT_EQ(check.target, "t.ini");
    EXPECT_EQ(check.binary, "b.dat");
    EXPECT_EQ(check.text, "t.csv");
    EXPECT_TRUE(check.indexColumn);
    EXPECT_EQ(check.limit, 0u);
    CCliOptions unlimited;
    ASSERT_TRUE(ParseCommandLine(Split("check --slot 1"), unlimited, reason));
    EXPECT_EQ(unlimited.limit, 100u);

    CCliOptions preview;
    ASSERT_TRUE(ParseCommandLine(Split("preview --slot 3 --binary b.dat --from 7 --count 0 --hex"), preview, reason))
        << reason;
    EXPECT_EQ(preview.binary, "b.dat");
    EXPECT_EQ(preview.firstRow, 7u);
    EXPECT_EQ(preview.rowCount, 0u);
    EXPECT_TRUE(preview.hex);
    CCliOptions firstPage;
    ASSERT_TRUE(ParseCommandLine(Split("preview --slot 1"), firstPage, reason));
    EXPECT_EQ(firstPage.firstRow, 1u);
    EXPECT_EQ(firstPage.rowCount, 20u);
    EXPECT_FALSE(firstPage.hex);

    CCliOptions revert;
    ASSERT_TRUE(ParseCommandLine(Split("revert data/out.csv"), revert, reason));
    EXPECT_EQ(revert.revertFile, "data/out.csv");
    CCliOptions help;
    ASSERT_TRUE(ParseCommandLine(Split("info --help"), help, reason));
    EXPECT_EQ(help.command, "help");
    CCliOptions version;
    ASSERT_TRUE(ParseCommandLine(Split("--version"), version, reason));
    EXPECT_EQ(version.command, "version");
}

} // namespace
