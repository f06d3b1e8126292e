#include "Clock.h"

#include <time.h>

namespace platform {
namespace {

std::uint32_t MillisecondsOf(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

} // namespace

std::uint32_t CSystemClock::Milliseconds() {
    return MillisecondsOf(CLOCK_MONOTONIC);
}

std::uint32_t CSystemClock::TickCount() {
    return MillisecondsOf(CLOCK_BOOTTIME);
}

std::uint32_t CManualClock::Milliseconds() {
    ++m_Readings;
    if (!m_Script.empty()) {
        m_Now = m_Script.front();
        m_Script.pop_front();
        return m_Now;
    }
    const std::uint32_t now = m_Now;
    m_Now += m_Step;
    return now;
}

} // namespace platform
