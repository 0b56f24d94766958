#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/common/test_support.h"

// The lock file of the POSIX systems: where it lies, and what a crash leaves of it.

namespace {

class InstanceLockFileTest : public ::testing::Test {
protected:
    CTempFolder m_folder;
    CScopedEnvironmentVariable m_runtime {"XDG_RUNTIME_DIR", m_folder.Path()};
};

TEST_F(InstanceLockFileTest, LockFileLiesInTheRuntimeFolderElseTheTemporaryFolder) {
    EXPECT_EQ(CInstanceLock::LockFilePath("Morvane"), m_folder.Path() + "Morvane");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    const std::string path = CInstanceLock::LockFilePath("Morvane");
    EXPECT_NE(path, m_folder.Path() + "Morvane");
    EXPECT_EQ(path.substr(path.size() - 8), "/Morvane");
}

TEST_F(InstanceLockFileTest, LockOfACrashedProcessIsGone) {
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CInstanceLock lock;
        const char answer = lock.Acquire("Morvane") == CInstanceLock::acquired ? 'y' : 'n';
        char go;
        if (::write(toParent[1], &answer, 1) != 1 || ::read(toChild[0], &go, 1) != 1) ::_exit(2);
        std::abort();
    }
    char answer = 0;
    ASSERT_EQ(::read(toParent[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    CInstanceLock second;
    EXPECT_EQ(second.Acquire("Morvane"), CInstanceLock::heldElsewhere);
    const char go = 'g';
    ASSERT_EQ(::write(toChild[1], &go, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(fd);
    EXPECT_EQ(second.Acquire("Morvane"), CInstanceLock::acquired);
}

TEST_F(InstanceLockFileTest, UnwritableRuntimeFolderLeavesTheLockUnavailable) {
    ::setenv("XDG_RUNTIME_DIR", (m_folder.Path() + "missing/").c_str(), 1);
    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire("Morvane"), CInstanceLock::unavailable);
    EXPECT_FALSE(lock.IsHeld());
}

}
