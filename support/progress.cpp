#include "support/progress.h"

#include <algorithm>

#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"

bool CProgress::Start(std::int32_t low, std::uint32_t high, std::int32_t step, const std::string& label,
                      bool recordUnit) {
    m_state = CProgressState {};
    m_state.label = label;
    m_state.recordUnit = recordUnit;
    m_state.total = high;
    m_scale = 1.0;
    m_step = step;
    if (high != 0) {
        // The bar's range must stay within signed 32 bits.
        if (high > 2147483647u) m_scale = 2147483647.0 / high;
        m_state.barLow = low;
        m_state.barHigh = static_cast<std::int32_t>(high * m_scale);
    }
    if (step != 0) m_step = static_cast<std::int32_t>(step * m_scale);
    m_position = low;
    m_state.barPosition = low;
    m_stopRequested = false;
    m_stopConfirmed = false;
    m_untilClockCheck = m_updatesPerClockCheck;
    m_lastRefresh = Now();
    m_open = OnStart(m_state);
    return m_open;
}

void CProgress::SyncBar() {
    m_state.barPosition = static_cast<std::int32_t>(
        std::min<std::int64_t>(m_position, static_cast<std::int64_t>(m_state.barHigh)));
}

bool CProgress::RefreshIfDue() {
    m_untilClockCheck = m_updatesPerClockCheck;
    const auto now = Now();
    if (now - m_lastRefresh < kRefreshInterval) return false;
    m_lastRefresh = now;
    SyncBar();
    if (m_open) OnRefresh(m_state);
    return true;
}

bool CProgress::ConfirmStop() {
    m_stopRequested = false;
    if (m_stopConfirmed) return true;
    return ShowMessage(Word(wStop), mbQuestion) == idYes;
}

void CProgress::Close() {
    if (!m_open) return;
    SyncBar();
    OnRefresh(m_state);
    m_open = false;
    OnClose();
}

std::string ProgressCountText(const CProgressState& state) { return std::to_string(state.count); }

std::string ProgressUnitText(const CProgressState& state) { return Word(state.recordUnit ? wRecord : wByte); }

int ProgressPercent(const CProgressState& state) {
    if (state.total == 0) return 0;
    const std::uint64_t percent = static_cast<std::uint64_t>(state.count) * 100u / state.total;
    return static_cast<int>(std::min<std::uint64_t>(percent, 100u));
}

std::string ProgressPercentText(const CProgressState& state) { return std::to_string(ProgressPercent(state)) + "%"; }
