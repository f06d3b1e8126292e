#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>

namespace platform {

// The two clocks the shell reads: a monotonic microsecond counter for frame times (a frame
// on a fast graphics card takes well under a millisecond) and the milliseconds since the
// system started, which seed the random generator (GetTickCount's role; it wraps around
// after 2^32 ms). The frame loop also waits on it for the next frame to be due.
class IClock {
  public:
    virtual ~IClock() = default;
    virtual std::uint64_t Microseconds() = 0;
    virtual std::uint32_t TickCount() = 0;
    // Waits until the microsecond counter has reached the given reading and returns the
    // reading on waking (which may be a little later). Returns at once when it is past.
    virtual std::uint64_t SleepUntil(std::uint64_t microseconds) = 0;
};

class CSystemClock final : public IClock {
  public:
    std::uint64_t Microseconds() override;
    std::uint32_t TickCount() override;
    std::uint64_t SleepUntil(std::uint64_t microseconds) override;
};

// A clock for tests, in microseconds: stands still unless the test sets it, moves on by a
// fixed step after every reading, or gives readings the test lists in advance. Sleeping
// takes no time: it moves the clock on to the reading waited for (when it is ahead) and
// counts what was slept, without using up a listed reading.
class CManualClock final : public IClock {
  public:
    void Set(std::uint64_t microseconds) { m_Now = microseconds; }
    void SetStepPerReading(std::uint64_t microseconds) { m_Step = microseconds; }
    // The next readings, in order; after them the clock goes on from the last one.
    void Script(std::initializer_list<std::uint64_t> readings) { m_Script.assign(readings); }
    std::uint64_t Microseconds() override;
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(m_Now / 1000); }
    std::uint64_t SleepUntil(std::uint64_t microseconds) override;
    int Readings() const { return m_Readings; }
    // How often a sleep had to wait, and for how long in all.
    int Sleeps() const { return m_Sleeps; }
    std::uint64_t SleptMicroseconds() const { return m_Slept; }

  private:
    std::uint64_t m_Now = 0;
    std::uint64_t m_Step = 0;
    int m_Readings = 0;
    int m_Sleeps = 0;
    std::uint64_t m_Slept = 0;
    std::deque<std::uint64_t> m_Script;
};

} // namespace platform
