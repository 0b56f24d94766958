#pragma once
#include <exception>
#include <string>

// A composed text thrown inside an operation; the operation's boundary makes it its message.
class CFailure : public std::exception {
public:
    explicit CFailure(std::string text) : m_text(std::move(text)) {}
    const std::string& Text() const { return m_text; }
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

[[noreturn]] inline void Fail(std::string text) { throw CFailure(std::move(text)); }

// The user's text of any caught exception: a thrown text is itself, a file error its cause
// number and description, a memory shortage word 43, another exception its description, and
// anything else word 35. Call it from a catch block, or give the exception.
std::string FailureText(std::exception_ptr exception = std::current_exception());
