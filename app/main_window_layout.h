#pragma once
#include <vector>

// What a control of the main window is.
enum class ControlKind {
    frame,           // group box
    slotButton,      // radio button, several lines of text from the top
    labelPanel,      // sunken static text, lines as given
    valuePanel,      // sunken static text, lines as given, right-aligned
    text,            // static text, words wrapped
    link,            // static text that reports clicks, vertically centred
    button,          // push button
    multiLineButton, // push button, words wrapped
    defaultButton,   // the default push button, words wrapped
    pathField,       // single-line edit that takes dropped files
    readOnlyField,   // single-line read-only edit
    option,          // check box
    messageArea,     // multi-line read-only edit, vertical scroll bar, bold
};

// One control: its id and its place in dialog units.
struct CControlLayout {
    int id;
    ControlKind kind;
    int x, y, width, height;
};

// The window's client area in dialog units.
constexpr int kMainWindowWidth = 249;
constexpr int kMainWindowHeight = 397;

// Every control of the main window, in tab order (frames come before what they frame).
const std::vector<CControlLayout>& MainWindowLayout();
