#pragma once
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window_model.h"
#include "vocabulary/message_box.h"
#include "vocabulary/message_texts.h"
#include "support/file_chooser.h"

// A message box that records every box it is asked to show and answers from a script.
// Without scripted answers it presses the box's default button.
class CScriptedMessageBox : public IMessageBox {
public:
    CScriptedMessageBox();
    ~CScriptedMessageBox() override;

    int Show(const CMessageBoxRequest& request) override;
    void Answer(int buttonId) { m_answers.push_back(buttonId); }

    std::vector<CMessageBoxRequest> m_shown;
    std::deque<int> m_answers;

private:
    IMessageBox* m_previous;
};

// A file chooser that answers from a script: each answer is a path to choose, or the empty
// text for a cancel; without answers it cancels. It records the starting path of every call.
class CScriptedFileChooser : public IFileChooser {
public:
    CScriptedFileChooser() : m_previous(SetFileChooser(this)) {}
    ~CScriptedFileChooser() override { SetFileChooser(m_previous); }

    bool Choose(std::string& path, const std::string& currentPath) override;

    std::deque<std::string> m_answers;
    std::vector<std::string> m_startPaths;

private:
    IFileChooser* m_previous;
};

// A shell that records the files it is asked to open and answers as told.
class CScriptedShell : public IShellOpener {
public:
    ShellOpenResult Open(const std::string& path) override {
        m_opened.push_back(path);
        return m_result;
    }

    ShellOpenResult m_result = ShellOpenResult::opened;
    std::vector<std::string> m_opened;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    const std::string& Path() const { return m_path; } // ends with '/'
    // Writes a file (binary, bytes as given) and returns its full path.
    std::string Write(const std::string& name, const std::string& contents) const;
    std::string Read(const std::string& name) const;

private:
    std::string m_path;
};

// A vocabulary of the built-in words registered for the test's lifetime, with the program's
// folder set to a temporary folder.
class CTestEnvironment {
public:
    CTestEnvironment();
    ~CTestEnvironment();

    CMessageTexts m_words;
    CTempFolder m_folder;
    CScriptedMessageBox m_box;
    // Writes a settings file with a Translations section of the given lines and loads the
    // vocabulary from it.
    void Translate(const std::string& translationLines);
};

// The cause a file's opening with the flags fails with, or none when it opens.
int OpenCause(const std::string& path, unsigned flags);

// True when the text names a file failure's cause as the program words it: the cause number,
// then its description (about any file).
bool NamesCause(const std::string& text, int cause);

// Sets an environment variable for the object's lifetime.
class CScopedEnvironmentVariable {
public:
    // A null value removes the variable for the while.
    CScopedEnvironmentVariable(const char* name, const char* value);
    CScopedEnvironmentVariable(const char* name, const std::string& value)
        : CScopedEnvironmentVariable(name, value.c_str()) {}
    ~CScopedEnvironmentVariable();

private:
    std::string m_name;
    std::string m_previous;
    bool m_hadPrevious;
};

// The encodings a target may declare, by their own names.
inline constexpr const char* kListedEncodings[] = {"CP932",      "EUC-JP",     "CP936",      "GB18030",    "CP950",      "CP949",
                               "CP1250",     "CP1251",     "CP1252",     "CP1253",     "CP1254",     "CP1255",
                               "CP1256",     "CP1257",     "CP1258",     "ISO-8859-1", "ISO-8859-2", "ISO-8859-3",
                               "ISO-8859-4", "ISO-8859-5", "ISO-8859-6", "ISO-8859-7", "ISO-8859-8", "ISO-8859-9",
                               "ISO-8859-10", "ISO-8859-11", "ISO-8859-13", "ISO-8859-14", "ISO-8859-15",
                               "ISO-8859-16", "KOI8-R",     "UTF-8"};

