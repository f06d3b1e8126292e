#pragma once

#include <cstdint>

// Counts the heap allocations the bench's main thread makes through operator new while
// counting is switched on. The bench replaces the global operator new and delete (all
// forms); other threads (the driver's, OpenAL's) are never counted.
namespace bench {

// Marks the calling thread as the one that counts, and loads what a backtrace needs, so
// that a later trace does not allocate on its first use.
void MarkCountingThread();

// Counting is on between these two, on the marked thread only.
void BeginCounting();
void EndCounting();

// The allocations counted so far.
std::uint64_t CountedAllocations();

// Prints a backtrace to stderr for each of the next n counted allocations; label names
// what was being measured (a string that outlives the tracing).
void TraceAllocations(int n);
void SetTraceLabel(const char* label, long frame);

} // namespace bench
