#include "platform/DirectoryLookup.h"

#include "platform/FileAttributes.h"

#include <algorithm>
#include <fnmatch.h>
#include <string>
#include <vector>

namespace veskard::platform {
namespace {

bool hasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

bool matchesMask(const std::filesystem::path& path, std::uint32_t mask) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const Result<FileAttributes> attributes = readAttributes(path);
    if (!attributes)
        return false;
    const std::uint32_t restricted = attributes->bits() & (LookupMask::Hidden | LookupMask::System);
    return (restricted & ~mask) == 0;
}

} // namespace

std::optional<std::filesystem::path> findFirstFile(const std::filesystem::path& pattern,
                                                   std::uint32_t mask) {
    std::string name = pattern.filename().native();
    if (name.empty())
        return std::nullopt;
    if (!hasWildcard(name)) {
        if (matchesMask(pattern, mask))
            return pattern.filename();
        return std::nullopt;
    }
    if (name == "*.*") // Windows spelling of "every file", dotted or not
        name = "*";

    const std::filesystem::path folder =
        pattern.has_parent_path() ? pattern.parent_path() : std::filesystem::path(".");
    std::error_code error;
    std::vector<std::string> candidates;
    // Stepped with error codes: a range-for would throw on a failing step.
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string candidate = entry->path().filename().native();
        if (::fnmatch(name.c_str(), candidate.c_str(), 0) == 0)
            candidates.push_back(candidate);
    }
    std::sort(candidates.begin(), candidates.end());
    for (const std::string& candidate : candidates) {
        if (matchesMask(folder / candidate, mask))
            return std::filesystem::path(candidate);
    }
    return std::nullopt;
}

} // namespace veskard::platform
