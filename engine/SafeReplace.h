#pragma once

#include "engine/ByteStreams.h"
#include "platform/Result.h"
#include "platform/TemporaryFile.h"

#include <filesystem>
#include <functional>
#include <span>
#include <system_error>

namespace veskard::engine {

using ContentWriter = std::function<std::error_code(ByteOutput& output)>;
using ContentCheck = std::function<std::error_code(const ByteInput& written)>;

// The first half of the one way this program replaces a file: `write` fills a
// temporary file in the target's folder, which is synced, then read back and
// must hold exactly what was written (and pass `check`, when given). The caller then
// releases its own handles on the target (Windows cannot replace an open file)
// and commits. A temporary file that is never committed removes itself, so on
// any failure the target is untouched.
Result<platform::TemporaryFile> writeVerified(const std::filesystem::path& target,
                                              const ContentWriter& write,
                                              const ContentCheck& check,
                                              std::span<std::byte> copyBuffer);

} // namespace veskard::engine
