#include "Clock.h"

#include <cerrno>
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

std::uint64_t CSystemClock::SleepUntil(std::uint64_t microseconds) {
    // An absolute wake-up time on the same monotonic clock: a signal that interrupts the
    // sleep does not stretch it, and the time spent getting here is not slept again.
    timespec until{};
    until.tv_sec = static_cast<time_t>(microseconds / 1000000u);
    until.tv_nsec = static_cast<long>(microseconds % 1000000u) * 1000L;
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    return Microseconds();
}

std::uint64_t CManualClock::SleepUntil(std::uint64_t microseconds) {
    if (microseconds > m_Now) {
        ++m_Sleeps;
        m_Slept += microseconds - m_Now;
        m_Now = microseconds;
    }
    return m_Now;
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
