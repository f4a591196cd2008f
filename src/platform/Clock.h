#pragma once

#include <chrono>

namespace veskard::platform {

// The wall clock, replaceable so that the log's times can be pinned in tests.
class Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

} // namespace veskard::platform
