#include "engine/JobEnvironment.h"

namespace veskard::engine {

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return a.lexically_normal() == b.lexically_normal();
}

} // namespace veskard::engine
