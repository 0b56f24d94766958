#include "cli/terminal_progress.h"

#include <cstdio>

#include "platform/terminal.h"

namespace {
constexpr std::chrono::milliseconds kDrawInterval {100};
}

bool CTerminalProgress::OnStart(const CProgressState& state) {
    if (InterruptRequested()) RequestConfirmedStop();
    if (m_show) Draw(state);
    return true;
}

void CTerminalProgress::OnRefresh(const CProgressState& state) {
    if (InterruptRequested()) RequestConfirmedStop();
    if (!m_show) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDrawn < kDrawInterval) return;
    Draw(state);
}

void CTerminalProgress::Draw(const CProgressState& state) {
    m_lastDrawn = std::chrono::steady_clock::now();
    const std::string line = state.label + "  " + ProgressCountText(state) + " " + ProgressUnitText(state) + "  " +
                             ProgressPercentText(state);
    std::string padding;
    if (line.size() < m_lastWidth) padding.assign(m_lastWidth - line.size(), ' ');
    std::fprintf(stderr, "\r%s%s", line.c_str(), padding.c_str());
    std::fflush(stderr);
    m_lastWidth = line.size();
}

void CTerminalProgress::OnClose() {
    if (!m_show || m_lastWidth == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(m_lastWidth, ' ').c_str());
    std::fflush(stderr);
    m_lastWidth = 0;
}
