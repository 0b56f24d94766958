#include "tests/common/test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/file.h"
#include "platform/file_exception.h"
#include "platform/private_profile.h"
#include "platform/system.h"
#include "tests/common/test_system.h"

CScriptedMessageBox::CScriptedMessageBox() : m_previous(SetMessageBox(this)) {}

CScriptedMessageBox::~CScriptedMessageBox() { SetMessageBox(m_previous); }

int CScriptedMessageBox::Show(const CMessageBoxRequest& request) {
    m_shown.push_back(request);
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return request.style == mbQuestion ? idNo : idOk;
}

bool CScriptedFileChooser::Choose(std::string& path, const std::string& currentPath) {
    m_startPaths.push_back(currentPath);
    if (m_answers.empty()) return false;
    const std::string answer = m_answers.front();
    m_answers.pop_front();
    if (answer.empty()) return false;
    path = answer;
    return true;
}

CTempFolder::CTempFolder() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("morvane-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate.string() + "/";
            break;
        }
    }
}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CTempFolder::Write(const std::string& name, const std::string& contents) const {
    const std::string path = m_path + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return path;
}

std::string CTempFolder::Read(const std::string& name) const {
    std::ifstream in(RootDriveLength(name) > 0 ? name : m_path + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CTestEnvironment::CTestEnvironment() {
    m_words.ResetWords();
    SetProgramFolder(m_folder.Path());
}

CTestEnvironment::~CTestEnvironment() = default;

void CTestEnvironment::Translate(const std::string& translationLines) {
    const std::string path = m_folder.Write("morvane.ini", "[Translations]\r\n" + translationLines);
    m_words.LoadWords(CProfile::Read(path), "Translations");
}

bool NamesCause(const std::string& text, int cause) {
    const std::string marker = "\x1F";
    const std::string description = CFileException::Describe(cause, marker);
    const std::size_t split = description.find(marker);
    const std::string head = std::to_string(cause) + " " + description.substr(0, split);
    const std::size_t at = text.find(head);
    return at != std::string::npos && text.find(description.substr(split + 1), at + head.size()) != std::string::npos;
}

CScopedEnvironmentVariable::CScopedEnvironmentVariable(const char* name, const char* value) : m_name(name) {
    const char* previous = std::getenv(name);
    m_hadPrevious = previous != nullptr;
    if (previous) m_previous = previous;
    SetEnvironment(name, value);
}

CScopedEnvironmentVariable::~CScopedEnvironmentVariable() {
    SetEnvironment(m_name.c_str(), m_hadPrevious ? m_previous.c_str() : nullptr);
}

int OpenCause(const std::string& path, unsigned flags) {
    try {
        CFile file(path, flags);
    } catch (const CFileException& e) {
        return e.Cause();
    }
    return CFileException::none;
}
