#pragma once
#include <string>
#include <vector>

// INI files of the private-profile kind. Section and key names match without regard to ASCII
// letter case; blanks around keys and values are removed, and so is one pair of quotation marks
// enclosing a value. Reading tolerates a UTF-8 byte order mark, CR LF and LF line ends and a last
// line without line end.

constexpr std::size_t kProfileValueBuffer = 260; // values are cut to 259 bytes

// The value of a key, cut to 259 bytes; the empty text when the file, section or key is missing
// or the value is empty.
std::string GetProfileString(const std::string& file, const std::string& section, const std::string& key);

// The section names of the file as a list buffer of the given size holds them: names separated
// by single separators, the list ended by two. Only names lying wholly within the first
// (size - 2) bytes are returned; a missing file gives none.
std::vector<std::string> GetProfileSectionNames(const std::string& file, std::size_t bufferSize = kProfileValueBuffer);

// Writes one key. Only that key's line changes (or the key is added at the end of its section,
// or the section at the end of the file, or the file is created); every other byte and the
// file's line ends stay. The file is replaced whole through a temporary file, so a write never
// leaves half a file. False when the write fails, or when the section, key or value holds a
// CR or LF byte.
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);
