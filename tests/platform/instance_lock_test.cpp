#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include "tests/common/test_support.h"

namespace {

// Points the runtime folder at a fresh folder for the test's lifetime.
class InstanceLockTest : public ::testing::Test {
protected:
    CTempFolder m_folder;
    CScopedEnvironmentVariable m_runtime {"XDG_RUNTIME_DIR", m_folder.Path()};
};

TEST_F(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstReleases) {
    CInstanceLock first;
    CInstanceLock second;
    EXPECT_EQ(first.Acquire("Morvane"), CInstanceLock::acquired);
    EXPECT_TRUE(first.IsHeld());
    EXPECT_EQ(second.Acquire("Morvane"), CInstanceLock::heldElsewhere);
    EXPECT_FALSE(second.IsHeld());
    EXPECT_EQ(second.Acquire("Other"), CInstanceLock::acquired);
    first.Release();
    EXPECT_FALSE(first.IsHeld());
    EXPECT_EQ(second.Acquire("Morvane"), CInstanceLock::acquired);
}

TEST_F(InstanceLockTest, DestructionReleases) {
    {
        CInstanceLock first;
        ASSERT_EQ(first.Acquire("Morvane"), CInstanceLock::acquired);
    }
    CInstanceLock second;
    EXPECT_EQ(second.Acquire("Morvane"), CInstanceLock::acquired);
}

}
