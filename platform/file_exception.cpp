#include "platform/file_exception.h"

CFileException::CFileException(int cause, const std::string& fileName)
    : m_cause(cause), m_fileName(fileName), m_description(Describe(cause, fileName)) {}

std::string CFileException::Describe(int cause, const std::string& fileName) {
    const std::string file = fileName.empty() ? std::string("an unnamed file") : fileName;
    switch (cause) {
    case none: return "No error occurred with " + file + ".";
    case fileNotFound: return file + " was not found.";
    case badPath: return "The path of " + file + " is invalid.";
    case tooManyOpenFiles: return "Too many files are open to open " + file + ".";
    case accessDenied: return "Access to " + file + " was denied.";
    case invalidFile: return "The handle of " + file + " is invalid.";
    case removeCurrentDir: return "The current folder cannot be removed (" + file + ").";
    case directoryFull: return "The folder is full; " + file + " cannot be created.";
    case badSeek: return "Seeking in " + file + " failed.";
    case hardIO: return "A hardware input/output error occurred with " + file + ".";
    case sharingViolation: return file + " is in use by another program or run.";
    case lockViolation: return "A locked region of " + file + " was accessed.";
    case diskFull: return "The disk is full while writing " + file + ".";
    case endOfFile: return "The end of " + file + " was reached unexpectedly.";
    default: return "An unspecified error occurred with " + file + ".";
    }
}
