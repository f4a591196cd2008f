#pragma once

#include "engine/Notice.h"

#include <optional>
#include <system_error>

namespace veskard::engine {

// What the user is told about a failure that no job handled itself: a damaged
// or foreign record, nothing for a refused path or file access, and the
// system's description of anything else.
std::optional<Notice> classifyFailure(std::error_code error);

} // namespace veskard::engine
