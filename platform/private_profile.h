#pragma once
#include <string>
#include <vector>

// INI files of the private-profile kind. Section and key names match without regard to ASCII
// letter case; blanks around keys and values are removed, and so is one pair of quotation marks
// enclosing a value. Reading tolerates a UTF-8 byte order mark, CR LF and LF line ends and a last
// line without line end.

constexpr std::size_t kProfileValueBuffer = 260; // values are cut to 259 bytes

// The contents of one INI file, read once, so that all the keys a load takes come from one
// consistent view of the file.
class CProfile {
public:
    // The profile of a file that does not exist: every key absent.
    CProfile() = default;
    explicit CProfile(std::string contents);

    // Reads the file. Only a file that does not exist reads as empty; one that exists but cannot
    // be read throws CFileException.
    static CProfile Read(const std::string& path);

    // The value of a key, cut to 259 bytes; the empty text when the section or key is missing or
    // the value is empty.
    std::string GetString(const std::string& section, const std::string& key) const;
    // The section names as a list buffer of the given size holds them: names separated by single
    // separators, the list ended by two. Only names lying wholly within the first (size - 2)
    // bytes are returned.
    std::vector<std::string> SectionNames(std::size_t bufferSize = kProfileValueBuffer) const;

    struct CLine {
        std::size_t start;   // the line's text runs from start to textEnd, without CR LF or LF
        std::size_t textEnd;
        std::size_t next;    // where the next line begins
    };

private:
    std::string m_contents;
    std::vector<CLine> m_lines;
};

// Writes one key. Only that key's line changes (or the key is added at the end of its section,
// or the section at the end of the file, or the file is created); every other byte and the
// file's line ends stay. The file is replaced whole through a temporary file, so a write never
// leaves half a file. False, with nothing written, when the section, key or value holds a CR or
// LF byte; a file that cannot be read or written throws CFileException.
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);
