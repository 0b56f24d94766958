// A second process for the instance lock's tests: takes the lock of the name given, says
// "held" (or "refused") on its standard output, and keeps the lock until its input ends.
#include <cstdio>

#include "platform/instance_lock.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    CInstanceLock lock;
    const bool held = lock.Acquire(argv[1]) == CInstanceLock::acquired;
    std::puts(held ? "held" : "refused");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return held ? 0 : 1;
}
