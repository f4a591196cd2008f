#include "platform/Paths.h"

#include "platform/SharedFolder.h"

namespace veskard::platform {
namespace {

// The most links one name may pass through, as the systems themselves allow.
constexpr int MaximumLinkDepth = 40;

} // namespace

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return a.lexically_normal() == b.lexically_normal();
}

Result<std::filesystem::path> followLinks(const std::filesystem::path& path) {
    std::filesystem::path name = path;
    for (int depth = 0; depth < MaximumLinkDepth; ++depth) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::symlink_status(name, error);
        if (status.type() == std::filesystem::file_type::not_found)
            return name;
        if (error)
            return error;
        if (!std::filesystem::is_symlink(status))
            return name;
        if (isPlantedLink(name))
            return std::make_error_code(std::errc::permission_denied);
        const std::filesystem::path next = std::filesystem::read_symlink(name, error);
        if (error)
            return error;
        name = next.is_absolute() ? next : name.parent_path() / next;
    }
    return std::make_error_code(std::errc::too_many_symbolic_link_levels);
}

Result<bool> nameExists(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return false;
    if (error)
        return error;
    return true;
}

} // namespace veskard::platform
