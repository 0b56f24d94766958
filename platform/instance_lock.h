#pragma once
#include <string>

// The lock that keeps a second instance of the program from running: an exclusive lock on a
// file of the given name in the user's runtime folder (the temporary folder when there is
// none). The system drops it with the process, however the process ends.
class CInstanceLock {
public:
    enum Result {
        acquired,      // this instance holds the lock
        heldElsewhere, // another instance runs
        unavailable,   // the lock file cannot be opened: nothing can be told
    };

    CInstanceLock() = default;
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    Result Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

    static std::string LockFilePath(const std::string& name);

private:
    int m_fd = -1;
};
