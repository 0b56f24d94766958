#include "cli/cli_output.h"

bool PrintText(std::FILE* stream, const std::string& text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    out += '\n';
    const bool written = std::fputs(out.c_str(), stream) != EOF;
    return std::fflush(stream) == 0 && written;
}
