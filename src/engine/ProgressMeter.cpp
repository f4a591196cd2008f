#include "engine/ProgressMeter.h"

namespace veskard::engine {

ProgressMeter::ProgressMeter(JobEvents& events, std::uint64_t total, std::stop_token stop)
    : events_(events)
    , total_(total)
    , stop_(std::move(stop)) {
    advance(0);
}

std::error_code ProgressMeter::advance(std::uint64_t bytes) {
    done_ += bytes;
    const ByteProgress progress{done_, total_};
    if (progress.percent() != told_) {
        told_ = progress.percent();
        events_.progressed(progress);
    }
    return checkStop();
}

std::error_code ProgressMeter::checkStop() const {
    if (stop_.stop_requested())
        return std::make_error_code(std::errc::operation_canceled);
    return {};
}

} // namespace veskard::engine
