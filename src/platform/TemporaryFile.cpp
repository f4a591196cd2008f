#include "platform/TemporaryFile.h"

#include "platform/SystemRandom.h"
#include "platform/TemporaryName.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace veskard::platform {
namespace detail {
namespace {

constexpr std::size_t LongestName = 255;
constexpr std::string_view Letters = "abcdefghijklmnopqrstuvwxyz0123456789";

// Whether a name may be cut right before this unit: not before a UTF-8
// continuation byte, nor between the two halves of a UTF-16 pair.
template <typename Unit> bool startsCharacter(Unit unit) {
    if constexpr (sizeof(Unit) == 1)
        return (static_cast<unsigned char>(unit) & 0xC0) != 0x80;
    else
        return unit < 0xDC00 || unit > 0xDFFF;
}

} // namespace

Result<std::filesystem::path> temporaryName(const std::filesystem::path& target) {
    std::array<std::byte, 8> draws{};
    if (const std::error_code error = fillWithSystemRandom(draws))
        return error;
    std::string suffix = ".";
    for (const std::byte draw : draws)
        suffix += Letters[static_cast<std::size_t>(draw) % Letters.size()];
    suffix += ".tmp";

    using Native = std::filesystem::path::string_type;
    const Native name = target.filename().native();
    std::size_t kept = std::min(name.size(), LongestName - 1 - suffix.size());
    while (kept > 0 && kept < name.size() && !startsCharacter(name[kept]))
        --kept;
    Native result(1, '.');
    result += name.substr(0, kept);
    result.append(suffix.begin(), suffix.end());
    return std::filesystem::path(result);
}

} // namespace detail

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : file_(std::move(other.file_))
    , folder_(std::exchange(other.folder_, -1))
    , path_(std::move(other.path_))
    , target_(std::move(other.target_))
    , committed_(std::exchange(other.committed_, true)) {}

} // namespace veskard::platform
