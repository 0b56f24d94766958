#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_home.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "vocabulary/failure.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CCliOptions options;
    std::string error;
    if (!ParseCommandLine(arguments, options, error)) {
        std::fprintf(stderr, "morvane-cli: %s\n%s", error.c_str(), kCliUsage);
        return 2;
    }
    if (options.command == "version") {
        std::puts("morvane-cli " MORVANE_VERSION);
        return 0;
    }
    // A failure nothing below caught (a vanished working folder, say) is still an error, not a crash.
    try {
        const std::string given =
            options.home.empty() ? "" : std::filesystem::absolute(options.home).lexically_normal().string();
        const CProgramHome home = FindProgramHome(given, "morvane.ini");
        if (options.command == "help") {
            std::fputs(kCliUsage, stdout);
            std::puts(ProgramHomeDescription(home).c_str());
            return 0;
        }
        SettleProgramHome(home);
        return RunCliCommand(options);
    } catch (...) {
        PrintText(stderr, FailureText());
        return 1;
    }
}
