#pragma once
#include "vocabulary/message_box.h"

class QWidget;

// The program's message boxes as Qt shows them. Constructing one installs it for ShowMessage;
// destroying it puts back the box installed before.
class CQtMessageBox : public IMessageBox {
public:
    CQtMessageBox();
    ~CQtMessageBox() override;
    CQtMessageBox(const CQtMessageBox&) = delete;
    CQtMessageBox& operator=(const CQtMessageBox&) = delete;

    int Show(const CMessageBoxRequest& request) override;

private:
    IMessageBox* m_previous;
};

// The window a box or dialog of the program belongs to: the active window when it takes
// input, else the shown window that does (the progress window while the main one is disabled).
QWidget* DialogOwner();
