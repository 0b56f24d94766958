#include "platform/instance_lock.h"

#include "platform/win32/system_calls.h"

CInstanceLock::~CInstanceLock() { Release(); }

// The lock is a named mutex in the session's namespace, not a file.
std::string CInstanceLock::LockFilePath(const std::string& name) { return name; }

CInstanceLock::Result CInstanceLock::Acquire(const std::string& name) {
    Release();
    const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, LockFilePath(name).c_str());
    if (!mutex) return ::GetLastError() == ERROR_ACCESS_DENIED ? heldElsewhere : unavailable;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return heldElsewhere;
    }
    m_fd = sys::Descriptor(mutex);
    return acquired;
}

void CInstanceLock::Release() {
    if (m_fd < 0) return;
    ::CloseHandle(sys::Handle(m_fd));
    m_fd = -1;
}
