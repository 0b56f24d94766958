#include "app/program_home.h"

#include "platform/system.h"
#include "support/paths.h"
#include "vocabulary/failure.h"

CProgramHome FindProgramHome(const std::string& givenFolder, const std::string& settingsName) {
    CProgramHome home;
    if (!givenFolder.empty()) {
        home.kind = CProgramHome::given;
        home.folder = AddBackslash(givenFolder);
    } else if (ProbeEntry(ProgramDirectory() + settingsName) != EntryKind::none) {
        home.folder = ProgramDirectory();
    } else {
        home.kind = CProgramHome::installed;
        const std::string config = UserConfigFolder();
        if (!config.empty()) home.folder = AddBackslash(config) + "morvane" + PathSeparator();
    }
    return home;
}

void SettleProgramHome(const CProgramHome& home) {
    if (home.kind == CProgramHome::portable) return;
    if (home.folder.empty()) Fail(std::string("No home folder: set ") + UserConfigVariables());
    // The installation puts the examples at a fixed place relative to the program's folder.
    if (home.kind == CProgramHome::installed)
        CopyMissingFiles(ProgramDirectory() + MORVANE_INSTALLED_EXAMPLES, home.folder);
    SetProgramFolder(home.folder);
}

std::string ProgramHomeDescription(const CProgramHome& home) {
    switch (home.kind) {
    case CProgramHome::portable: return "Home: " + home.folder + " (beside the program)";
    case CProgramHome::given: return "Home: " + home.folder + " (--home)";
    default: return "Home: " + (home.folder.empty() ? "none" : home.folder) + " (installed)";
    }
}
