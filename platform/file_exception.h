#pragma once
#include <exception>
#include <string>

// A failure of the file layer: a cause number 0..14 and a description that names the file.
class CFileException : public std::exception {
public:
    enum Cause {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, const std::string& fileName);

    int Cause() const { return m_cause; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& Description() const { return m_description; }
    const char* what() const noexcept override { return m_description.c_str(); }

    // Our own description of a cause, naming the file.
    static std::string Describe(int cause, const std::string& fileName);

private:
    int m_cause;
    std::string m_fileName;
    std::string m_description;
};
