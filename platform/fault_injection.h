#pragma once
#include <cstdint>

// A seam for tests: every system call the platform layer makes on files is counted by kind, and
// a test may make the nth call of one kind fail with a chosen error number, as a full disk, a
// failing device or a refused permission would. Nothing is armed unless a test arms it.
enum class FaultKind : int {
    open,   // opening or creating a file
    read,
    write,  // a direct write, and setting a file's length
    flush,  // handing buffered bytes to the system
    sync,   // forcing written bytes to the device
    rename,
    lock,
    close,
    mode,   // setting a file's permissions
};
constexpr int kFaultKindCount = 9;
const char* FaultKindName(FaultKind kind);

// From now on, the nth call (counted from 1) of the kind fails with the error number; the
// counts of every kind start again from 0.
void ArmFault(FaultKind kind, std::uint64_t nth, int error);
// No call fails any more; the counts start again from 0.
void DisarmFaults();
// The calls of the kind made since the last ArmFault or DisarmFaults.
std::uint64_t FaultCalls(FaultKind kind);
// Whether the armed fault has been delivered.
bool FaultDelivered();

// Called by the platform layer before each system call of the kind: the error number the call
// must fail with, or 0 to make the call.
int InjectedFault(FaultKind kind);
