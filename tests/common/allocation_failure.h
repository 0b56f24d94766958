#pragma once

// Allocation failures on demand, for tests of memory shortage: after `granted` further
// allocations of the test program, the next one throws std::bad_alloc, once.
void FailAllocationAfter(long granted);
// Disarms the failure; true when it had happened.
bool DisarmAllocationFailure();
