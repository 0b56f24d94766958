#pragma once
#include <string>

// Message box styles the program uses.
enum MessageStyle : unsigned {
    mbError = 0x10,       // OK, stop icon
    mbExclamation = 0x30, // OK, exclamation icon
    mbInformation = 0x40, // OK, information icon
    mbQuestion = 0x124,   // Yes and No, question icon, No the default
};

// Ids of the buttons a box returns.
enum MessageButton : int { idOk = 1, idYes = 6, idNo = 7 };

struct CMessageBoxRequest {
    std::string text;
    unsigned style = mbError;
    std::string caption;    // the program's name
    std::string yesCaption; // word 25
    std::string noCaption;  // word 26
};

// The platform's message box: the window system in the desktop program, the terminal in the
// command line, a script in tests.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual int Show(const CMessageBoxRequest& request) = 0;
};

// Installs the box that ShowMessage uses and returns the one installed before. Without one,
// every box answers its default button.
IMessageBox* SetMessageBox(IMessageBox* box);

int ShowMessage(const std::string& text, unsigned style);
int ShowError(const std::string& text);
