#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>

namespace platform {

// The two clocks the shell reads: a millisecond counter for frame times (timeGetTime's role)
// and the milliseconds since the system started, which seed the random generator
// (GetTickCount's role). Both wrap around after 2^32 ms; differences are taken unsigned.
class IClock {
  public:
    virtual ~IClock() = default;
    virtual std::uint32_t Milliseconds() = 0;
    virtual std::uint32_t TickCount() = 0;
};

class CSystemClock final : public IClock {
  public:
    std::uint32_t Milliseconds() override;
    std::uint32_t TickCount() override;
};

// A clock for tests: stands still unless the test sets it, moves on by a fixed step after
// every reading, or gives readings the test lists in advance.
class CManualClock final : public IClock {
  public:
    void Set(std::uint32_t milliseconds) { m_Now = milliseconds; }
    void SetStepPerReading(std::uint32_t milliseconds) { m_Step = milliseconds; }
    // The next readings, in order; after them the clock goes on from the last one.
    void Script(std::initializer_list<std::uint32_t> readings) { m_Script.assign(readings); }
    std::uint32_t Milliseconds() override;
    std::uint32_t TickCount() override { return m_Now; }
    int Readings() const { return m_Readings; }

  private:
    std::uint32_t m_Now = 0;
    std::uint32_t m_Step = 0;
    int m_Readings = 0;
    std::deque<std::uint32_t> m_Script;
};

} // namespace platform
