#pragma once
#include <string>

// The folder the program takes its settings file from and relative paths against.
struct CProgramHome {
    enum Kind {
        portable,  // the settings file lies beside the program: the program's own folder
        installed, // no settings file beside the program: the user's configuration folder
        given,     // named on the command line
    };
    Kind kind = portable;
    std::string folder; // ends with the separator; empty when an installed program's user has none
};

// Finds the home of a program whose settings file has the given name. A folder given on the
// command line wins. Nothing is created or changed.
CProgramHome FindProgramHome(const std::string& givenFolder, const std::string& settingsName);
// Makes the home the program's folder. An installed program's home is made on first use, and
// the installed examples it lacks, with their settings file, are copied into it: a user's edits
// survive. Throws when the home cannot be made or filled.
void SettleProgramHome(const CProgramHome& home);
// One line saying which home is in use, for the command line's help.
std::string ProgramHomeDescription(const CProgramHome& home);
