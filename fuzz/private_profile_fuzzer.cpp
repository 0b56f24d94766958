// INI files: reading them, and writing one key. The input is the file, optionally followed by
// a separator line and three lines: the section, the key and the value to write.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/private_profile.h"

namespace {

constexpr std::size_t kMaxChecked = 8; // sections and keys compared before and after a write

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The next line of the text, without its LF; the text loses it.
std::string_view TakeLine(std::string_view& text) {
    const std::size_t lf = text.find('\n');
    const std::string_view line = text.substr(0, lf);
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    return line;
}

// Names of key lines anywhere in the file: the text before '=', trimmed.
std::vector<std::string> KeyNames(std::string_view contents) {
    std::vector<std::string> keys;
    while (!contents.empty() && keys.size() < kMaxChecked) {
        const std::string_view line = TakeLine(contents);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && !Trimmed(line.substr(0, equals)).empty())
            keys.emplace_back(Trimmed(line.substr(0, equals)));
    }
    return keys;
}

// Names that a written line gives back as they are: a section header holds the name up to the
// first ']', and a key line whose key begins with '[' may be taken for a header.
bool ReadsBack(std::string_view section, std::string_view key) {
    return !section.empty() && Trimmed(section) == section && section.find(']') == std::string_view::npos &&
           !key.empty() && Trimmed(key) == key && key.find('=') == std::string_view::npos && key.front() != '[';
}

std::string ExpectedValue(std::string_view value) {
    value = Trimmed(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kProfileValueBuffer - 1));
}

// The section names, checked, and at most kMaxChecked of them returned.
std::vector<std::string> CheckedSections(const CProfile& profile, const std::vector<std::string>& keys) {
    std::vector<std::string> sections = profile.SectionNames(std::size_t {1} << 20);
    const std::vector<std::string> few = profile.SectionNames();
    Require(few.size() <= sections.size() && std::equal(few.begin(), few.end(), sections.begin()),
            "a small list buffer holds the first section names");
    if (sections.size() > kMaxChecked) sections.resize(kMaxChecked);
    for (const std::string& section : sections) {
        Require(!section.empty() && Trimmed(section) == section, "section names are trimmed and not empty");
        for (const std::string& key : keys)
            Require(profile.GetString(section, key).size() < kProfileValueBuffer, "values are cut to the buffer");
    }
    return sections;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 2);
    const std::string contents(parts[0]);
    std::string_view request = parts.size() > 1 ? parts[1] : std::string_view("FileInfo\nLabel\nA label");
    const std::string section(TakeLine(request));
    const std::string key(TakeLine(request));
    const std::string value(request);

    const CProfile profile(contents);
    std::vector<std::string> keys = KeyNames(contents);
    std::vector<std::string> sections = CheckedSections(profile, keys);
    sections.push_back(section);
    keys.push_back(key);

    const std::string path = WriteFuzzFile("profile.ini", contents);
    const bool written = WriteProfileString(path, section, key, value);
    const std::string after = ReadFuzzFile("profile.ini");
    const bool refused = section.empty() || key.empty() || value.find_first_of("\r\n") != std::string::npos ||
                         section.find('\r') != std::string::npos || key.find('\r') != std::string::npos;
    Require(written == !refused, "a key is written unless a name is empty or a text holds a line break");
    if (!written) {
        Require(after == contents, "a refused write changes nothing");
        return 0;
    }
    if (!ReadsBack(section, key)) return 0;

    const CProfile reread(after);
    Require(reread.GetString(section, key) == ExpectedValue(value), "a written key reads back");
    // Every other key reads as before.
    for (const std::string& otherSection : sections)
        for (const std::string& otherKey : keys)
            if (!SameName(otherSection, section) || !SameName(otherKey, key))
                Require(reread.GetString(otherSection, otherKey) == profile.GetString(otherSection, otherKey),
                        "writing a key leaves the others as they were");
    return 0;
}
