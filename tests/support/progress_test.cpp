#include "support/progress.h"

#include <gtest/gtest.h>

#include "vocabulary/message_box.h"
#include "tests/common/scripted_progress.h"
#include "tests/common/test_support.h"

namespace {

// A progress display whose clock the test moves, recording what it was asked to show.
class CClockedProgress : public CProgress {
public:
    std::chrono::steady_clock::time_point m_now {};
    int m_starts = 0, m_refreshes = 0, m_closes = 0;
    CProgressState m_shown;

protected:
    bool OnStart(const CProgressState& state) override {
        ++m_starts;
        m_shown = state;
        return true;
    }
    void OnRefresh(const CProgressState& state) override {
        ++m_refreshes;
        m_shown = state;
    }
    void OnClose() override { ++m_closes; }
    std::chrono::steady_clock::time_point Now() const override { return m_now; }
};

TEST(Progress, HonestCountAndPercentage) {
    CTestEnvironment env;
    CClockedProgress progress;
    ASSERT_TRUE(progress.Start(0, 10, 1, "[ Binary => Text ]", true));
    EXPECT_EQ(ProgressCountText(progress.State()), "0");
    EXPECT_EQ(ProgressPercentText(progress.State()), "0%");
    EXPECT_EQ(ProgressUnitText(progress.State()), "Record");
    EXPECT_EQ(progress.m_shown.label, "[ Binary => Text ]");
    for (std::uint32_t i = 1; i <= 10; ++i) progress.Update(i);
    EXPECT_EQ(ProgressCountText(progress.State()), "10");
    EXPECT_EQ(ProgressPercentText(progress.State()), "100%");
    progress.Close();
    EXPECT_EQ(progress.m_closes, 1);
    EXPECT_EQ(progress.m_shown.barPosition, 10);
    progress.Close();
    EXPECT_EQ(progress.m_closes, 1);

    CProgressState bytes;
    bytes.recordUnit = false;
    bytes.total = 600;
    bytes.count = 256;
    EXPECT_EQ(ProgressUnitText(bytes), "Byte");
    EXPECT_EQ(ProgressPercentText(bytes), "42%");
    env.Translate("msg.Byte=Octet\r\n");
    EXPECT_EQ(ProgressUnitText(bytes), "Octet");
}

TEST(Progress, LargeTotalsAreScaledIntoTheBar) {
    CClockedProgress progress;
    progress.Start(0, 4294967294u, 256, "", false);
    EXPECT_EQ(progress.State().barHigh, 2147483647);
    for (std::uint32_t done = 256; done <= 512; done += 256) progress.Update(done);
    progress.Close();
    EXPECT_EQ(progress.m_shown.barPosition, 256); // two steps of 128
    CProgressState state = progress.State();
    state.count = 4294967294u;
    EXPECT_EQ(ProgressPercentText(state), "100%");
}

TEST(Progress, RefreshesAtMostOncePerInterval) {
    CClockedProgress progress;
    progress.Start(0, 100000, 1, "", true);
    int refreshes = 0;
    for (std::uint32_t i = 1; i <= 1000; ++i)
        if (progress.Update(i)) ++refreshes;
    EXPECT_EQ(refreshes, 0); // the clock stood still
    progress.m_now += CProgress::kRefreshInterval;
    std::uint32_t refreshedAt = 0;
    for (std::uint32_t i = 1001; i <= 1100; ++i)
        if (progress.Update(i)) {
            ++refreshes;
            refreshedAt = i;
        }
    EXPECT_EQ(refreshes, 1);
    EXPECT_LE(refreshedAt, 1016u); // the clock is looked at every few updates
    EXPECT_EQ(progress.m_refreshes, 1);
    EXPECT_EQ(progress.m_shown.count, refreshedAt);
}

TEST(Progress, AStopRequestIsConfirmedByStopQuestion) {
    CTestEnvironment env;
    CClockedProgress progress;
    progress.Start(0, 10, 1, "", true);
    EXPECT_FALSE(progress.PollCancel());
    EXPECT_TRUE(env.m_box.m_shown.empty());

    progress.RequestStop();
    env.m_box.Answer(idNo);
    EXPECT_FALSE(progress.PollCancel());
    EXPECT_FALSE(progress.PollCancel()); // the request was consumed by the No
    progress.RequestStop();
    env.m_box.Answer(idYes);
    EXPECT_TRUE(progress.PollCancel());
    ASSERT_EQ(env.m_box.m_shown.size(), 2u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "Stop ?");
    EXPECT_EQ(env.m_box.m_shown[0].style, unsigned(mbQuestion));

    progress.RequestConfirmedStop();
    EXPECT_TRUE(progress.PollCancel());
    EXPECT_EQ(env.m_box.m_shown.size(), 2u);
}

} // namespace

namespace {

TEST(ScriptedProgress, PressesCancelAtTheGivenCount) {
    CTestEnvironment env;
    CScriptedProgress progress(3);
    progress.Start(0, 10, 1, "", true);
    env.m_box.Answer(idYes);
    std::uint32_t done = 0;
    while (!progress.PollCancel()) progress.Update(++done);
    EXPECT_EQ(done, 3u);
    ASSERT_EQ(env.m_box.m_shown.size(), 1u);
    EXPECT_EQ(env.m_box.m_shown[0].text, "Stop ?");
}

} // namespace
