#pragma once

#include <cstddef>
#include <span>
#include <system_error>

namespace veskard::platform {

// Fills `bytes` from the system's cryptographic generator (getrandom on Linux,
// BCryptGenRandom on Windows). Fails only when the system has none to give.
std::error_code fillWithSystemRandom(std::span<std::byte> bytes);

} // namespace veskard::platform
