#include "platform/RegisteredOwner.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace veskard::platform {

RegisteredOwner registeredOwner() {
    // Room for any entry a system is likely to hold; a longer one reads as unknown.
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(std::max(suggested, 16384L)));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_gecos)
        return {};
    const std::string_view comment = found->pw_gecos;
    return {std::string(comment.substr(0, comment.find(','))), {}};
}

} // namespace veskard::platform
