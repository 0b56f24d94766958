#include "tests/common/scripted_progress.h"

bool CScriptedProgress::OnStart(const CProgressState& state) {
    ++m_starts;
    m_canceled = false;
    m_refreshes.push_back(state);
    return true;
}

void CScriptedProgress::OnRefresh(const CProgressState& state) {
    m_refreshes.push_back(state);
    if (m_cancelAfter != 0 && !m_canceled && state.count >= m_cancelAfter) {
        m_canceled = true;
        RequestStop();
    }
}

// Every look at the clock finds the refresh interval passed.
std::chrono::steady_clock::time_point CScriptedProgress::Now() const {
    m_now += kRefreshInterval;
    return m_now;
}
