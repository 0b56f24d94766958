#pragma once
#include <QString>
#include <QWidget>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window_model.h"
#include "support/file_chooser.h"
#include "tests/common/test_support.h"
#include "ui/morvane_dlg.h"

// The record layout of the test targets: an ID (4 bytes, usable as an index) and a signed value.
extern const char* const kDefinition;
// Three records: IDs 1, 2, 3 with values 10, -20, 30; and their text.
std::string ThreeRecords();
extern const char* const kThreeRecordsText;
// A code table that is its own inverse (byte i becomes 255 - i).
std::string SelfInverseTable();

// The program's folder with three targets and a settings file naming them:
//   target1.ini "Alpha": data.bin, data.csv, no code tables;
//   target2.ini "Beta":  enc.bin (data.bin through the reversing table), enc.csv, a decryption table only;
//   target3.ini "Gamma": data.bin by the record index list index.txt, shop.csv.
// The scripted message box, file chooser and shell stand in for the desktop.
class CUiFixture {
public:
    CUiFixture();
    ~CUiFixture();

    std::string Dir() const { return m_env.m_folder.Path(); }
    std::string SettingsPath() const { return Dir() + "morvane.ini"; }
    std::string Write(const std::string& name, const std::string& contents) const {
        return m_env.m_folder.Write(name, contents);
    }
    std::string Read(const std::string& name) const { return m_env.m_folder.Read(name); }
    // The standard settings file with further lines appended.
    void WriteSettings(const std::string& moreLines = std::string()) const;

    // Loads the settings file and opens the main window on the application state.
    CMorvaneDlg& Open();
    void Close();

    CMorvaneDlg& Window() { return *m_window; }
    QWidget* Control(int id) const;
    QString Text(int id) const;     // caption, field or message area as shown
    bool Enabled(int id) const { return Control(id)->isEnabled(); }
    bool Checked(int id) const;
    void Click(int id);             // a left click on the control, as the user gives it
    void Type(int fieldId, const QString& text); // replaces the field's text by typing
    std::vector<std::string> ShownTexts() const;

    CTestEnvironment m_env;
    CScriptedFileChooser m_chooser;
    CScriptedShell m_shell;
    std::unique_ptr<CAppState> m_app;
    std::unique_ptr<CMorvaneDlg> m_window;
};
