#pragma once

#include "engine/ByteStreams.h"
#include "platform/TemporaryFile.h"

#include <filesystem>
#include <functional>
#include <span>
#include <system_error>

namespace veskard::engine {

using ContentWriter = std::function<std::error_code(ByteOutput& output)>;
using ContentCheck = std::function<std::error_code(const ByteInput& written)>;

// The one way this program replaces a file: `write` fills a temporary file in
// the target's folder; the file is read back and must hold exactly what was
// written (and pass `check`, when given); then it is synced and renamed over
// the target with the given attributes. On any failure the target is untouched
// and the temporary file is gone.
std::error_code replaceSafely(const std::filesystem::path& target,
                              const platform::Replacement& replacement, const ContentWriter& write,
                              const ContentCheck& check, std::span<std::byte> copyBuffer);

} // namespace veskard::engine
