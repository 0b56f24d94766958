#include "app/program_home.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "support/paths.h"
#include "tests/common/test_support.h"
#include "tests/common/test_system.h"

TEST(ProgramHome, FoundByTheSettingsFileBesideTheProgramElseTheUsersFolder) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    const std::string separator(1, PathSeparator());
    CScopedEnvironmentVariable config(UserConfigVariable(), dir + "config");
    const std::string chosen = std::string(FileSystemRoot()) + "chosen";
    struct Case {
        std::string given;
        bool settingsBeside;
        CProgramHome::Kind kind;
        std::string folder;
    };
    const Case cases[] = {
        {"", true, CProgramHome::portable, dir},
        {"", false, CProgramHome::installed, dir + "config" + separator + "morvane" + separator},
        {chosen, true, CProgramHome::given, chosen + separator},
        {chosen + separator, false, CProgramHome::given, chosen + separator},
    };
    for (const Case& c : cases) {
        if (c.settingsBeside)
            env.m_folder.Write("morvane.ini", "");
        else
            std::filesystem::remove(dir + "morvane.ini");
        const CProgramHome home = FindProgramHome(c.given, "morvane.ini");
        EXPECT_EQ(home.kind, c.kind) << c.given << c.settingsBeside;
        EXPECT_EQ(home.folder, c.folder) << c.given << c.settingsBeside;
    }
    EXPECT_EQ(ProbeEntry(dir + "config"), EntryKind::none); // finding changes nothing
}

TEST(ProgramHome, SettlingMovesTheProgramsFolder) {
    CTestEnvironment env;
    const std::string dir = env.m_folder.Path();
    SettleProgramHome({CProgramHome::portable, dir});
    EXPECT_EQ(ProgramDirectory(), dir);
    SettleProgramHome({CProgramHome::given, dir + "given/"});
    EXPECT_EQ(ProgramDirectory(), dir + "given/");
    EXPECT_EQ(ProbeEntry(dir + "given/"), EntryKind::none); // a given home is the user's to make

    // An installed program without installed examples still gets its home made.
    SetProgramFolder(dir + "bin/");
    SettleProgramHome({CProgramHome::installed, dir + "config/morvane/"});
    EXPECT_EQ(ProgramDirectory(), dir + "config/morvane/");
    EXPECT_EQ(ProbeEntry(dir + "config/morvane/"), EntryKind::folder);

    // A user without a home folder gets told so.
    try {
        SettleProgramHome({CProgramHome::installed, ""});
        FAIL() << "settled without a home";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), std::string("No home folder: set ") + UserConfigVariables());
    }
}
