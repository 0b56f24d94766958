#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

#include "platform/system.h"

// The named mutex held by another process: the lock holder beside the test program.

namespace {

class CLockHolder {
public:
    explicit CLockHolder(const std::string& name) {
        SECURITY_ATTRIBUTES inherit {sizeof inherit, nullptr, TRUE};
        HANDLE childInput = nullptr, childOutput = nullptr;
        if (!::CreatePipe(&childInput, &m_input, &inherit, 0) || !::CreatePipe(&m_output, &childOutput, &inherit, 0))
            return;
        ::SetHandleInformation(m_input, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
        const std::string program = ProgramFilePath();
        std::string command = "\"" + program.substr(0, AfterLastSeparator(program)) + "morvane_lock_holder.exe\" " + name;
        STARTUPINFOA startup {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &m_process))
            ::CloseHandle(m_process.hThread);
        ::CloseHandle(childInput);
        ::CloseHandle(childOutput);
    }
    ~CLockHolder() {
        Release();
        if (m_output) ::CloseHandle(m_output);
    }
    // What the holder said: "held" or "refused"; empty when it could not be started.
    std::string Answer() {
        std::string answer;
        char c;
        DWORD got = 0;
        while (m_process.hProcess && ::ReadFile(m_output, &c, 1, &got, nullptr) && got == 1 && c != '\n')
            if (c != '\r') answer += c;
        return answer;
    }
    // Ends the holder's input and waits for it to end.
    void Release() {
        if (m_input) ::CloseHandle(m_input);
        m_input = nullptr;
        if (!m_process.hProcess) return;
        ::WaitForSingleObject(m_process.hProcess, INFINITE);
        ::CloseHandle(m_process.hProcess);
        m_process.hProcess = nullptr;
    }

private:
    HANDLE m_input = nullptr, m_output = nullptr;
    PROCESS_INFORMATION m_process {};
};

TEST(InstanceLock, AnotherProcessHoldingTheMutexKeepsThisOneOut) {
    CLockHolder holder("Morvane");
    ASSERT_EQ(holder.Answer(), "held");
    CInstanceLock lock;
    EXPECT_EQ(lock.Acquire("Morvane"), CInstanceLock::heldElsewhere);
    EXPECT_EQ(lock.Acquire("Morvane other"), CInstanceLock::acquired);
    holder.Release();
    EXPECT_EQ(lock.Acquire("Morvane"), CInstanceLock::acquired);

    // And the other way round.
    CLockHolder second("Morvane");
    EXPECT_EQ(second.Answer(), "refused");
}

} // namespace
