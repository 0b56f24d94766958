#include "vocabulary/message_box.h"

#include "platform/system.h"
#include "vocabulary/messages.h"

namespace {
IMessageBox* g_box = nullptr;
}

IMessageBox* SetMessageBox(IMessageBox* box) {
    IMessageBox* previous = g_box;
    g_box = box;
    return previous;
}

int ShowMessage(const std::string& text, unsigned style) {
    CMessageBoxRequest request;
    request.text = text;
    request.style = style;
    if (request.text.empty()) {
        request.text = WordPair(wSystem, wError);
        request.style = mbError;
    }
    request.caption = ProgramName();
    request.yesCaption = Word(wYes);
    request.noCaption = Word(wNo);
    if (!g_box) return request.style == mbQuestion ? idNo : idOk;
    return g_box->Show(request);
}

int ShowError(const std::string& text) { return ShowMessage(text, mbError); }
