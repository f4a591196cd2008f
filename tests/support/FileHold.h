#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Another program holding a file open, each way this system has: the helper
// program HoldFile takes hold of a file one of these ways, by name, and keeps
// it until it is killed.
namespace veskard::test {

// Reading while letting other readers in, writing, keeping every other program out.
std::vector<std::string> holdWays();

// Takes hold of `file` the named way; the hold lasts as long as the process.
std::error_code holdFile(const std::filesystem::path& file, std::string_view way);

} // namespace veskard::test
