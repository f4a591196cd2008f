#pragma once

#include "engine/Notice.h"

#include <optional>
#include <system_error>
#include <vector>

namespace veskard::engine {

// How a job step ended: success, or a failure with its cause and what the user
// is to be told (nothing, for a silent failure). A success may carry warnings:
// the file was replaced, but something after that went wrong or was left out.
class [[nodiscard]] JobStatus {
public:
    static JobStatus success(std::vector<Notice> warnings = {}) {
        JobStatus status;
        status.warnings_ = std::move(warnings);
        return status;
    }
    static JobStatus failure(std::error_code cause, std::optional<Notice> notice) {
        JobStatus status;
        status.cause_ = cause ? cause : make_error_code(std::errc::operation_canceled);
        status.notice_ = std::move(notice);
        return status;
    }

    bool ok() const { return !cause_; }
    std::error_code cause() const { return cause_; }
    const std::optional<Notice>& notice() const { return notice_; }
    const std::vector<Notice>& warnings() const { return warnings_; }

private:
    JobStatus() = default;
    std::error_code cause_;
    std::optional<Notice> notice_;
    std::vector<Notice> warnings_;
};

} // namespace veskard::engine
