#include "platform/DirectoryLookup.h"

#include "platform/FileAttributes.h"

namespace veskard::platform {

// Names are looked up exactly: "*" and "?" may stand in a POSIX name, and a
// pattern would let the lookup find a file other than the one the name is
// then opened as.
std::optional<std::filesystem::path> findFirstFile(const std::filesystem::path& pattern,
                                                   std::uint32_t mask) {
    if (pattern.filename().empty())
        return std::nullopt;
    std::error_code error;
    if (!std::filesystem::is_regular_file(pattern, error))
        return std::nullopt;
    const Result<FileAttributes> attributes = readAttributes(pattern);
    if (!attributes)
        return std::nullopt;
    const std::uint32_t restricted = attributes->bits() & (LookupMask::Hidden | LookupMask::System);
    if ((restricted & ~mask) != 0)
        return std::nullopt;
    return pattern.filename();
}

} // namespace veskard::platform
