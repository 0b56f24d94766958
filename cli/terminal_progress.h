#pragma once
#include <chrono>
#include <string>

#include "support/progress.h"

// Progress of the command line: one self-rewriting line on a terminal (none when quiet or not
// a terminal), and Ctrl+C as a confirmed stop.
class CTerminalProgress : public CProgress {
public:
    explicit CTerminalProgress(bool show) : m_show(show) {}

protected:
    bool OnStart(const CProgressState& state) override;
    void OnRefresh(const CProgressState& state) override;
    void OnClose() override;

private:
    void Draw(const CProgressState& state);

    bool m_show;
    std::chrono::steady_clock::time_point m_lastDrawn {};
    std::size_t m_lastWidth = 0;
};
