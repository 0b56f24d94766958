#pragma once

// One control of the progress window (dialog 103): its id and its place in dialog units.
struct CProgressControlLayout {
    int id;
    int x, y, width, height;
};

// The progress window's client area in dialog units, and its controls.
constexpr int kProgressWindowWidth = 186;
constexpr int kProgressWindowHeight = 79;
constexpr CProgressControlLayout kProgressLabel {1041, 8, 7, 100, 8};
constexpr CProgressControlLayout kProgressCount {1005, 112, 7, 38, 8};
constexpr CProgressControlLayout kProgressUnit {1042, 154, 7, 24, 8};
constexpr CProgressControlLayout kProgressPercent {1004, 85, 23, 18, 8};
constexpr CProgressControlLayout kProgressBar {1003, 15, 34, 154, 13};
constexpr CProgressControlLayout kProgressCancel {2, 67, 58, 50, 14};
