#include "Clock.h"

#include <time.h> // NOLINT(modernize-deprecated-headers): clock_gettime is POSIX's, not C++'s

namespace platform {

std::uint64_t CSystemClock::Microseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

std::uint32_t CSystemClock::TickCount() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

std::uint64_t CManualClock::Microseconds() {
    ++m_Readings;
    if (!m_Script.empty()) {
        m_Now = m_Script.front();
        m_Script.pop_front();
        return m_Now;
    }
    const std::uint64_t now = m_Now;
    m_Now += m_Step;
    return now;
}

} // namespace platform
