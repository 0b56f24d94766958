#pragma once
#include <deque>

#include "vocabulary/message_box.h"

// Message boxes of the command line: questions take the answers the command line decided
// beforehand (running the command confirms it; --yes answers the overwrite question), and
// every other box is printed on standard error.
class CCliMessageBox : public IMessageBox {
public:
    CCliMessageBox() : m_previous(SetMessageBox(this)) {}
    ~CCliMessageBox() override { SetMessageBox(m_previous); }

    int Show(const CMessageBoxRequest& request) override;
    void Answer(int buttonId) { m_answers.push_back(buttonId); }

private:
    IMessageBox* m_previous;
    std::deque<int> m_answers;
};
