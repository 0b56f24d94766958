#include "platform/private_profile.h"

#include <string_view>
#include <utility>

#include "platform/file_exception.h"
#include "platform/system.h"

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

using CProfileLine = CProfile::CLine;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<CProfileLine> SplitLines(const std::string& contents) {
    std::vector<CProfileLine> lines;
    std::size_t pos = contents.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < contents.size()) {
        const std::size_t lf = contents.find('\n', pos);
        CProfileLine line {pos, lf == npos ? contents.size() : lf, lf == npos ? contents.size() : lf + 1};
        if (line.textEnd > line.start && contents[line.textEnd - 1] == '\r') --line.textEnd;
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

std::string_view LineText(const std::string& contents, const CProfileLine& line) {
    return std::string_view(contents).substr(line.start, line.textEnd - line.start);
}

// A section header is a line beginning (after blanks) with '[' and holding a ']'.
bool SectionHeader(std::string_view text, std::string_view& name) {
    text = Trimmed(text);
    if (text.empty() || text.front() != '[') return false;
    const std::size_t close = FindCharacter(text, ']');
    if (close == npos) return false;
    name = Trimmed(text.substr(1, close - 1));
    return true;
}

// The position of the '=' of a key line, npos for any other line.
std::size_t EqualsSign(std::string_view text) { return text.find('='); }

std::string_view KeyName(std::string_view text, std::size_t equals) { return Trimmed(text.substr(0, equals)); }

// Where a key stands in a file: the first matching section and, in it, the first matching key.
struct CKeyPlace {
    std::size_t section = npos;  // line index of the section header
    std::size_t key = npos;      // line index of the key line
    std::size_t lastKey = npos;  // last key line of the section, or its header when it has none
};

CKeyPlace FindKey(const std::string& contents, const std::vector<CProfileLine>& lines, std::string_view section,
                  std::string_view key) {
    CKeyPlace place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = LineText(contents, lines[i]);
        std::string_view name;
        if (SectionHeader(text, name)) {
            if (place.section != npos) break;
            if (EqualIgnoringCase(name, section)) place.section = place.lastKey = i;
            continue;
        }
        if (place.section == npos) continue;
        const std::size_t equals = EqualsSign(text);
        if (equals == npos) continue;
        place.lastKey = i;
        if (place.key == npos && EqualIgnoringCase(KeyName(text, equals), key)) place.key = i;
    }
    return place;
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != npos; }

// The line end a file uses: that of its first line, CR LF when it has none.
std::string_view LineEndOf(const std::string& contents) {
    const std::size_t lf = contents.find('\n');
    if (lf == npos) return "\r\n";
    return lf > 0 && contents[lf - 1] == '\r' ? "\r\n" : "\n";
}

// Ends a last line that has no line end. A CR there is completed by an LF: another line end after
// it would make the CR, which reading drops from the last line, part of that line's text.
void EndLastLine(std::string& text, std::string_view lineEnd) {
    if (text.empty() || text.back() == '\n') return;
    text.append(text.back() == '\r' ? std::string_view("\n") : lineEnd);
}
}

CProfile::CProfile(std::string contents) : m_contents(std::move(contents)), m_lines(SplitLines(m_contents)) {}

CProfile CProfile::Read(const std::string& path) {
    std::string contents;
    if (!ReadFileIfExists(path, contents)) return CProfile();
    return CProfile(std::move(contents));
}

std::string CProfile::GetString(const std::string& section, const std::string& key) const {
    if (section.empty() || key.empty()) return std::string();
    const CKeyPlace place = FindKey(m_contents, m_lines, section, key);
    if (place.key == npos) return std::string();
    const std::string_view text = LineText(m_contents, m_lines[place.key]);
    const std::string_view value = Unquoted(Trimmed(text.substr(EqualsSign(text) + 1)));
    return std::string(value.substr(0, kProfileValueBuffer - 1));
}

std::vector<std::string> CProfile::SectionNames(std::size_t bufferSize) const {
    std::vector<std::string> names;
    if (bufferSize < 2) return names;
    // Each name takes its length and a separator; the last two bytes hold the closing pair.
    const std::size_t room = bufferSize - 2;
    std::size_t used = 0;
    for (const CProfileLine& line : m_lines) {
        std::string_view name;
        if (!SectionHeader(LineText(m_contents, line), name) || name.empty()) continue;
        if (used + name.size() > room) break;
        names.emplace_back(name);
        used += name.size() + 1;
    }
    return names;
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    if (file.empty() || section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value))
        return false;
    std::string contents;
    ReadFileIfExists(file, contents);
    const std::string_view lineEnd = LineEndOf(contents);
    const std::vector<CProfileLine> lines = SplitLines(contents);
    const CKeyPlace place = FindKey(contents, lines, section, key);

    std::string updated;
    if (place.key != npos) {
        // Keep the line's own spelling of the key and what stands before it.
        const CProfileLine& line = lines[place.key];
        const std::string_view text = LineText(contents, line);
        std::string_view head = text.substr(0, EqualsSign(text));
        while (!head.empty() && IsBlank(head.back())) head.remove_suffix(1);
        updated.append(contents, 0, line.start);
        updated.append(head);
        updated += '=';
        updated += value;
        updated.append(contents, line.textEnd);
    } else if (place.section != npos) {
        const CProfileLine& after = lines[place.lastKey];
        updated.append(contents, 0, after.next);
        EndLastLine(updated, lineEnd);
        updated += key + '=' + value;
        updated.append(lineEnd);
        updated.append(contents, after.next);
    } else {
        updated = contents;
        if (updated != kByteOrderMark) EndLastLine(updated, lineEnd);
        updated += '[' + section + ']';
        updated.append(lineEnd);
        updated += key + '=' + value;
        updated.append(lineEnd);
    }
    ReplaceFileContents(file, updated);
    return true;
}
