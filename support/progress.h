#pragma once
#include <chrono>
#include <cstdint>
#include <string>

// What a progress display shows.
struct CProgressState {
    std::string label;
    std::uint32_t count = 0;     // units done
    std::uint32_t total = 0;     // units in all
    bool recordUnit = true;      // unit word 5 "Record", else word 4 "Byte"
    std::int32_t barLow = 0;     // the bar's range, scaled into signed 32 bits
    std::int32_t barHigh = 100;
    std::int32_t barPosition = 0;
};

// Progress and cancellation of a long operation. The operation calls Start, then per unit of
// work PollCancel before the work and Update after it, then Close. Both per-unit calls cost
// nanoseconds: the display is refreshed, and pending events dispatched, at most about every
// refresh interval. A stop request (the display's Cancel) is confirmed by the "Stop ?" question
// at the next poll; only Yes stops.
class CProgress {
public:
    static constexpr std::chrono::milliseconds kRefreshInterval {30};

    virtual ~CProgress() = default;

    bool Start(std::int32_t low, std::uint32_t high, std::int32_t step, const std::string& label, bool recordUnit);
    bool PollCancel() {
        if (!m_stopRequested) return false;
        return ConfirmStop();
    }
    // True when the display was refreshed just now: the moment to hand output to the system.
    bool Update(std::uint32_t count) {
        m_state.count = count;
        m_position += m_step;
        if (--m_untilClockCheck > 0) return false;
        return RefreshIfDue();
    }
    // After a block of units done at once: Update for each of them, the clock looked at once.
    bool UpdateBlock(std::uint32_t count, std::uint32_t units) {
        m_state.count = count;
        m_position += std::int64_t {m_step} * units;
        return RefreshIfDue();
    }
    void Close();

    // A press of Cancel: asks at the next poll.
    void RequestStop() { m_stopRequested = true; }
    // A stop that needs no question (an interrupt of the command line).
    void RequestConfirmedStop() {
        m_stopRequested = true;
        m_stopConfirmed = true;
    }
    bool IsOpen() const { return m_open; }
    const CProgressState& State() const { return m_state; }

protected:
    // The display's part: show the window, redraw it (and dispatch pending events), hide it.
    virtual bool OnStart(const CProgressState&) { return true; }
    virtual void OnRefresh(const CProgressState&) {}
    virtual void OnClose() {}
    // The clock, replaceable in tests.
    virtual std::chrono::steady_clock::time_point Now() const { return std::chrono::steady_clock::now(); }
    // Looks at the clock on every update rather than every few: for tests that act at an exact count.
    void CheckClockEveryUpdate() { m_updatesPerClockCheck = m_untilClockCheck = 1; }

private:
    bool ConfirmStop();
    bool RefreshIfDue();
    void SyncBar();

    CProgressState m_state;
    double m_scale = 1.0;
    std::int64_t m_position = 0; // in units of the scaled step
    std::int32_t m_step = 1;
    int m_updatesPerClockCheck = 16;
    int m_untilClockCheck = m_updatesPerClockCheck;
    std::chrono::steady_clock::time_point m_lastRefresh {};
    bool m_stopRequested = false;
    bool m_stopConfirmed = false;
    bool m_open = false;
};

// Texts of the display.
std::string ProgressCountText(const CProgressState& state);
std::string ProgressUnitText(const CProgressState& state);
// Units done x 100 / units in all, as "37%": 0% at the start and 100% at the end.
std::string ProgressPercentText(const CProgressState& state);
int ProgressPercent(const CProgressState& state);
