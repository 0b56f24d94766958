#include "platform/fault_injection.h"

#include <atomic>

namespace {
// Relaxed atomics: the counts only need to be exact per kind, and threads may make calls.
std::atomic<std::uint64_t> g_calls[kFaultKindCount];
std::atomic<int> g_armedKind {-1};
std::atomic<std::uint64_t> g_armedCall {0};
std::atomic<int> g_armedError {0};
std::atomic<bool> g_delivered {false};

void ResetCounts() {
    for (auto& calls : g_calls) calls.store(0, std::memory_order_relaxed);
    g_delivered.store(false, std::memory_order_relaxed);
}
}

const char* FaultKindName(FaultKind kind) {
    static const char* const kNames[kFaultKindCount] = {"open",  "read", "write", "flush", "sync",
                                                        "rename", "lock", "close", "mode"};
    return kNames[static_cast<int>(kind)];
}

void ArmFault(FaultKind kind, std::uint64_t nth, int error) {
    g_armedKind.store(-1, std::memory_order_relaxed);
    ResetCounts();
    g_armedCall.store(nth, std::memory_order_relaxed);
    g_armedError.store(error, std::memory_order_relaxed);
    g_armedKind.store(static_cast<int>(kind), std::memory_order_relaxed);
}

void DisarmFaults() {
    g_armedKind.store(-1, std::memory_order_relaxed);
    ResetCounts();
}

std::uint64_t FaultCalls(FaultKind kind) { return g_calls[static_cast<int>(kind)].load(std::memory_order_relaxed); }

bool FaultDelivered() { return g_delivered.load(std::memory_order_relaxed); }

int InjectedFault(FaultKind kind) {
    const std::uint64_t call = g_calls[static_cast<int>(kind)].fetch_add(1, std::memory_order_relaxed) + 1;
    if (g_armedKind.load(std::memory_order_relaxed) != static_cast<int>(kind) ||
        call != g_armedCall.load(std::memory_order_relaxed))
        return 0;
    g_delivered.store(true, std::memory_order_relaxed);
    return g_armedError.load(std::memory_order_relaxed);
}
