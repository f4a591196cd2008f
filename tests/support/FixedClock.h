#pragma once

#include "platform/Clock.h"

#include <ctime>

namespace veskard::test {

// A clock that shows whatever time the test sets.
class FixedClock final : public platform::Clock {
public:
    explicit FixedClock(TimePoint time)
        : time_(time) {}
    TimePoint now() const override { return time_; }
    void set(TimePoint time) { time_ = time; }

private:
    TimePoint time_;
};

// A local date-time, as the user's clock shows it.
inline platform::Clock::TimePoint localTime(int year, int month, int day, int hour, int minute,
                                            int second) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&parts));
}

} // namespace veskard::test
