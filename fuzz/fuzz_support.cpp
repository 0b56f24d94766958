#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vocabulary/message_box.h"
#include "vocabulary/message_texts.h"
#include "platform/system.h"

namespace {

constexpr std::string_view kSeparator = "\n#####\n";

// No input may wait for a person: every box is answered at once, as its default button would be.
class CAnsweringBox : public IMessageBox {
public:
    int Show(const CMessageBoxRequest& request) override {
        ++m_shown;
        return request.style == mbQuestion ? idNo : idOk;
    }
    std::size_t m_shown = 0;
};

std::string MakeFolder() {
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                          : std::filesystem::temp_directory_path();
    std::string pattern = (base / "morvane-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("morvane fuzz: no temporary folder");
        std::abort();
    }
    return pattern + "/";
}

class CFuzzProcess {
public:
    CFuzzProcess() : m_folder(MakeFolder()) {
        m_words.ResetWords();
        SetMessageBox(&m_box);
        SetProgramFolder(m_folder);
    }
    ~CFuzzProcess() {
        SetMessageBox(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    CFuzzProcess(const CFuzzProcess&) = delete;
    CFuzzProcess& operator=(const CFuzzProcess&) = delete;

    const std::string m_folder;
    CMessageTexts m_words;
    CAnsweringBox m_box;
};

CFuzzProcess& Process() {
    static CFuzzProcess process;
    return process;
}

} // namespace

const std::string& FuzzFolder() { return Process().m_folder; }

std::string WriteFuzzFile(const std::string& name, std::string_view contents) {
    const std::string path = FuzzFolder() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    Require(!out.fail(), "a file of the fuzz folder can be written");
    return path;
}

std::string ReadFuzzFile(const std::string& name) {
    std::ifstream in(FuzzFolder() + name, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void RemoveFuzzFile(const std::string& name) {
    std::error_code ignored;
    std::filesystem::remove(FuzzFolder() + name, ignored);
}

std::size_t BoxesShown() { return Process().m_box.m_shown; }

std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size, std::size_t maxParts) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = rest.find(kSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(rest.substr(0, at));
        rest.remove_prefix(at + kSeparator.size());
    }
    parts.push_back(rest);
    return parts;
}

void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "morvane fuzz: property does not hold: %s\n", property);
    std::abort();
}
