#include "app/user_actions.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/common/scripted_progress.h"
#include "tests/common/test_support.h"

namespace {
struct UserActionsTest : ::testing::Test {
    CTestEnvironment m_env;
    CScriptedProgress m_progress;
    std::vector<bool> m_cursor; // what the window was told, in order
    CUserActions m_actions {m_progress, [this](bool busy) { m_cursor.push_back(busy); }};
};
}

TEST_F(UserActionsTest, AnActionEndsWithItsProgressClosedAndItsWaitCursorsTakenBack) {
    // However the action ends: normally, or by a failure that is then shown.
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        m_cursor.clear();
        m_env.m_box.m_shown.clear();
        EXPECT_TRUE(m_actions.Run([&] {
            m_actions.WaitCursor(true);
            m_actions.WaitCursor(true);
            m_actions.WaitCursor(false);
            m_progress.Start(0, 10, 1, "job", true);
            if (fails) throw std::runtime_error("disk gone");
        }));
        EXPECT_FALSE(m_progress.IsOpen());
        EXPECT_FALSE(m_actions.IsWaiting());
        EXPECT_EQ(m_cursor, (std::vector<bool> {true, true, false, false}));
        ASSERT_EQ(m_env.m_box.m_shown.size(), fails ? 1u : 0u);
        if (fails) {
            EXPECT_NE(m_env.m_box.m_shown[0].text.find("disk gone"), std::string::npos);
        }
    }
}

TEST_F(UserActionsTest, AnActionStartedWhileAnotherRunsIsNotRun) {
    bool inner = false;
    EXPECT_TRUE(m_actions.Run([&] {
        EXPECT_TRUE(m_actions.IsRunning());
        EXPECT_FALSE(m_actions.Run([&] { inner = true; }));
    }));
    EXPECT_FALSE(inner);
    EXPECT_FALSE(m_actions.IsRunning());
    // An unmatched end asks the window for nothing.
    m_actions.WaitCursor(false);
    EXPECT_TRUE(m_cursor.empty());
}
