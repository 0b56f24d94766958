#include "cli/cli_options.h"

#include <charconv>
#include <set>

const char* const kCliUsage =
    "Usage: morvane-cli [--home DIR] [--quiet] COMMAND [OPTIONS]\n"
    "  info      (--target FILE | --slot N)\n"
    "  preview   (--target FILE | --slot N) [--binary FILE] [--from K] [--count N] [--hex]\n"
    "  to-text   (--target FILE | --slot N) [--binary FILE] [--text FILE] [--no-backup] [--yes]\n"
    "            [--threads N]\n"
    "  to-binary (--target FILE | --slot N) [--text FILE] [--binary FILE] [--index-column]\n"
    "            [--write-index-list] [--no-backup] [--yes] [--threads N]\n"
    "  check     (--target FILE | --slot N) [--binary FILE] [--text FILE] [--index-column]\n"
    "            [--limit N]\n"
    "  decrypt   (--target FILE | --slot N) [--binary FILE]\n"
    "  encrypt   (--target FILE | --slot N) [--binary FILE]\n"
    "  invert    (--target FILE | --slot N) --from decrypt|encrypt\n"
    "  revert    FILE\n"
    "  --help, --version\n";

namespace {
// More workers than any machine's cores would only take memory for their blocks.
constexpr unsigned kMostThreads = 256;
const std::set<std::string> kTargetCommands {"info", "preview", "to-text", "to-binary", "check", "decrypt", "encrypt", "invert"};

// A whole decimal number and nothing else.
template <class Number>
bool ReadNumber(const std::string& text, Number& number) {
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, number);
    return !text.empty() && read.ec == std::errc() && read.ptr == end;
}

// The options each command takes besides --target and --slot.
bool Allows(const std::string& command, const std::string& option) {
    if (option == "--binary")
        return command == "preview" || command == "to-text" || command == "to-binary" || command == "check" ||
            command == "decrypt" || command == "encrypt";
    if (option == "--text") return command == "to-text" || command == "to-binary" || command == "check";
    if (option == "--no-backup" || option == "--yes" || option == "--threads")
        return command == "to-text" || command == "to-binary";
    if (option == "--index-column") return command == "to-binary" || command == "check";
    if (option == "--write-index-list") return command == "to-binary";
    if (option == "--limit") return command == "check";
    if (option == "--from") return command == "invert" || command == "preview";
    if (option == "--count" || option == "--hex") return command == "preview";
    return false;
}
}

bool ParseCommandLine(const std::vector<std::string>& arguments, CCliOptions& options, std::string& error) {
    std::size_t i = 0;
    auto value = [&](const std::string& option, std::string& out) {
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return false;
        }
        out = arguments[++i];
        return true;
    };
    // Options before the command.
    for (; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--home") {
            if (!value(argument, options.home)) return false;
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--help" || argument == "-h") {
            options.command = "help";
            return true;
        } else if (argument == "--version") {
            options.command = "version";
            return true;
        } else {
            break;
        }
    }
    if (i >= arguments.size()) {
        error = "no command given";
        return false;
    }
    options.command = arguments[i++];
    const bool targetCommand = kTargetCommands.count(options.command) != 0;
    if (!targetCommand && options.command != "revert") {
        error = "unknown command " + options.command;
        return false;
    }
    for (; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string text;
        if (argument == "--help" || argument == "-h") {
            options.command = "help";
            return true;
        }
        if (options.command == "revert" && argument.rfind("--", 0) != 0) {
            if (!options.revertFile.empty()) {
                error = "revert takes one file";
                return false;
            }
            options.revertFile = argument;
            continue;
        }
        if (targetCommand && argument == "--target") {
            if (!value(argument, options.target)) return false;
        } else if (targetCommand && argument == "--slot") {
            if (!value(argument, text)) return false;
            if (text != "1" && text != "2" && text != "3") {
                error = "--slot takes 1, 2 or 3";
                return false;
            }
            options.slot = text[0] - '0';
        } else if (!Allows(options.command, argument)) {
            error = argument + " is not an option of " + options.command;
            return false;
        } else if (argument == "--binary") {
            if (!value(argument, text)) return false;
            options.binary = text;
        } else if (argument == "--text") {
            if (!value(argument, text)) return false;
            options.text = text;
        } else if (argument == "--from" && options.command == "preview") {
            if (!value(argument, text)) return false;
            if (!ReadNumber(text, options.firstRow) || options.firstRow == 0) {
                error = "--from takes a record number of 1 or more";
                return false;
            }
        } else if (argument == "--count") {
            if (!value(argument, text)) return false;
            if (!ReadNumber(text, options.rowCount)) {
                error = "--count takes a number of 0 or more";
                return false;
            }
        } else if (argument == "--hex") {
            options.hex = true;
        } else if (argument == "--from") {
            if (!value(argument, options.from)) return false;
            if (options.from != "decrypt" && options.from != "encrypt") {
                error = "--from takes decrypt or encrypt";
                return false;
            }
        } else if (argument == "--limit") {
            if (!value(argument, text)) return false;
            if (!ReadNumber(text, options.limit)) {
                error = "--limit takes a number of 0 or more";
                return false;
            }
        } else if (argument == "--threads") {
            if (!value(argument, text)) return false;
            if (!ReadNumber(text, options.threads) || options.threads < 1 || options.threads > kMostThreads) {
                error = "--threads takes a number from 1 to " + std::to_string(kMostThreads);
                return false;
            }
        } else if (argument == "--no-backup") {
            options.noBackup = true;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument == "--index-column") {
            options.indexColumn = true;
        } else if (argument == "--write-index-list") {
            options.writeIndexList = true;
        }
    }
    if (targetCommand && options.target.empty() && options.slot == 0) {
        error = options.command + " needs --target FILE or --slot N";
        return false;
    }
    if (options.command == "invert" && options.from.empty()) {
        error = "invert needs --from decrypt or --from encrypt";
        return false;
    }
    if (options.command == "revert" && options.revertFile.empty()) {
        error = "revert needs a FILE";
        return false;
    }
    return true;
}
