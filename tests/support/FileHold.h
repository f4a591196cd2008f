#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veskard::test {

// Another program's hold on a file, taken by the test itself: the job, a
// child process, meets it as another program's. Throws when it cannot hold.
class FileHold {
public:
    // Reading while letting other readers in, writing, keeping every other program out.
    static std::vector<std::string> ways();

    FileHold(const std::filesystem::path& file, const std::string& way);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

private:
    std::intptr_t handle_;
};

} // namespace veskard::test
