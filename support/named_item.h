#pragma once
#include <string>

// The base of every object the program loads and checks: whether it is usable, why not, and
// its display name.
class CNamedItem {
public:
    virtual ~CNamedItem() = default;

    void Reset(const std::string& name);
    // The name, a blank, word 34, a line break and the message.
    std::string ComposeError() const;

    int m_ok = 0;
    std::string m_message;
    std::string m_name;
};

// Path kinds of a file item.
enum PathKind : int { pathNone = 0, pathAbsolute = 15, pathRelative = 16 };

// An item that refers to a file, absolute or relative to the program's folder.
class CFileItem : public CNamedItem {
public:
    void Reset(const std::string& name);
    bool SetPath(const std::string& path);
    std::string FullPath();

    int m_pathKind = pathNone;
    std::string m_pathAsWritten;
    int m_open = 0;
};
