#pragma once

#include "engine/JobEvents.h"

#include <cstdint>
#include <stop_token>
#include <system_error>

namespace veskard::engine {

// Counts the bytes of a job, tells its events each time the whole percentage
// changes (0 at the start, 100 at the end), and is where a job asked to stop
// learns it, between one slice of work and the next.
class ProgressMeter {
public:
    ProgressMeter(JobEvents& events, std::uint64_t total, std::stop_token stop);

    // Counts `bytes` more done; operation_canceled once the job is asked to stop.
    std::error_code advance(std::uint64_t bytes);
    std::error_code checkStop() const;

private:
    JobEvents& events_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    int told_ = -1;
    std::stop_token stop_;
};

} // namespace veskard::engine
