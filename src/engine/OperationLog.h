#pragma once

#include "engine/JobEvents.h"

#include <string>
#include <string_view>

namespace veskard::engine {

// The timed log of the last encryption: UTF-8 text whose lines end in CR LF,
// kept by applying the changes a job sends (on whichever thread shows it).
class OperationLog {
public:
    static constexpr std::string_view LineBreak = "\r\n";

    void apply(const LogChange& change);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

} // namespace veskard::engine
