#include "cli/cli_message_box.h"

#include <cstdio>

#include "cli/cli_output.h"

int CCliMessageBox::Show(const CMessageBoxRequest& request) {
    if (request.style == mbQuestion) {
        if (m_answers.empty()) return idNo;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    PrintText(stderr, request.text);
    return idOk;
}
