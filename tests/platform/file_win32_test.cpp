#include "platform/file.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "tests/common/test_support.h"

// Where Windows differs: its paths, and its causes for them.

namespace {

TEST(File, MissingFolderOnTheWayIsABadPath) {
    CTempFolder folder;
    EXPECT_EQ(OpenCause(folder.Path() + "no/such/x.dat", modeCreate | modeWrite), CFileException::badPath);
    EXPECT_EQ(OpenCause(folder.Path() + "bad|name.dat", modeCreate | modeWrite), CFileException::badPath);
    EXPECT_EQ(OpenCause(folder.Path() + "missing.dat", modeRead), CFileException::fileNotFound);
}

TEST(FileSystem, SystemPathTakesBackslashes) {
    EXPECT_EQ(SystemPath("C:/data/sub\\file.dat"), "C:\\data\\sub\\file.dat");
    EXPECT_EQ(PathSeparator(), '\\');
    EXPECT_EQ(RootDriveLength("c:\\x"), 2u);
    EXPECT_EQ(RootDriveLength("\\x"), 0u); // relative to the program's folder
    EXPECT_EQ(RootDriveLength("x\\y"), 0u);
}

TEST(FileSystem, UserConfigFolderIsTheApplicationDataFolder) {
    CScopedEnvironmentVariable appData("APPDATA", "C:\\Users\\u\\AppData\\Roaming");
    EXPECT_EQ(UserConfigFolder(), "C:\\Users\\u\\AppData\\Roaming");
    CScopedEnvironmentVariable relative("APPDATA", "relative");
    EXPECT_EQ(UserConfigFolder(), "");
}

}
