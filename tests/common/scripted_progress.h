#pragma once
#include <cstdint>
#include <vector>

#include "support/progress.h"

// A progress display for tests: it refreshes on every update, keeps what it was shown, and
// presses Cancel once the given number of units is done (the "Stop ?" question then goes to
// the scripted message box).
class CScriptedProgress : public CProgress {
public:
    explicit CScriptedProgress(std::uint32_t cancelAfter = 0) : m_cancelAfter(cancelAfter) { CheckClockEveryUpdate(); }

    std::uint32_t m_cancelAfter; // 0: never
    int m_starts = 0;
    int m_closes = 0;
    std::vector<CProgressState> m_refreshes;

protected:
    bool OnStart(const CProgressState& state) override;
    void OnRefresh(const CProgressState& state) override;
    void OnClose() override { ++m_closes; }
    std::chrono::steady_clock::time_point Now() const override;

private:
    mutable std::chrono::steady_clock::time_point m_now {};
    bool m_canceled = false;
};
