#include "cli/cli_output.h"

void PrintText(std::FILE* stream, const std::string& text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    out += '\n';
    std::fputs(out.c_str(), stream);
    std::fflush(stream);
}
