#pragma once

#include <cstdint>
#include <string_view>

namespace veskard::fuzz {

// The password every strong lock of the fuzzers opens with. Its seeds are
// locked at the cheapest cost, in 64-byte chunks, so that a run takes
// microseconds and small inputs hold many chunks.
inline constexpr std::u16string_view StrongPassword = u"fuzz 密码";
inline constexpr std::uint32_t StrongSeedChunkSize = 64;

} // namespace veskard::fuzz
