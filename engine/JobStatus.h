#pragma once

#include "engine/Notice.h"

#include <optional>
#include <system_error>

namespace veskard::engine {

// How a job step ended: success, or a failure with its cause and what the user
// is to be told (nothing, for a silent failure).
class [[nodiscard]] JobStatus {
public:
    static JobStatus success() { return JobStatus(); }
    static JobStatus failure(std::error_code cause, std::optional<Notice> notice) {
        JobStatus status;
        status.cause_ = cause ? cause : make_error_code(std::errc::operation_canceled);
        status.notice_ = std::move(notice);
        return status;
    }

    bool ok() const { return !cause_; }
    std::error_code cause() const { return cause_; }
    const std::optional<Notice>& notice() const { return notice_; }

private:
    JobStatus() = default;
    std::error_code cause_;
    std::optional<Notice> notice_;
};

} // namespace veskard::engine
