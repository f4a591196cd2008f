#pragma once

#include "platform/File.h"
#include "platform/FileAttributes.h"
#include "platform/Result.h"

#include <filesystem>

namespace veskard::platform {

// How a committed file takes the place of its target.
struct Replacement {
    // The attributes the target ends with, exactly.
    FileAttributes attributes;
    // Whether an existing target's owner and permissions carry over (an
    // in-place rewrite) or the file is as freshly created.
    bool keepTargetPermissions = false;
};

// A new file in the target's folder that replaces the target only when
// committed; until then the target is untouched, and a temporary file that is
// never committed removes itself.
class TemporaryFile {
public:
    static Result<TemporaryFile> createBeside(const std::filesystem::path& target);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    File& file() { return file_; }
    const std::filesystem::path& path() const { return path_; }

    // Makes the content durable, then atomically puts it in the target's place
    // with the given attributes. On failure the target is as it was.
    std::error_code commit(const std::filesystem::path& target, const Replacement& replacement);

private:
    TemporaryFile(File file, std::filesystem::path path)
        : file_(std::move(file)), path_(std::move(path)) {}
    File file_;
    std::filesystem::path path_;
    bool committed_ = false;
};

} // namespace veskard::platform
