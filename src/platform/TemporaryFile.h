#pragma once

#include "platform/File.h"
#include "platform/Result.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace veskard::platform {

// A new file beside a target that takes the target's place only when
// committed; until then the target is untouched, and a temporary file that is
// never committed removes itself.
class TemporaryFile {
public:
    // Creates ".NAME.xxxxxxxx.tmp" in the target's folder, NAME being the
    // target's name, cut where needed so that the whole name fits the 255
    // bytes (Windows: UTF-16 units) a name may have. It is open for reading and
    // writing, a new file and never one a link leads to, and readable by the
    // running user only (POSIX: mode 0600) until it is committed.
    static Result<TemporaryFile> createBeside(const std::filesystem::path& target);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    File& file() { return file_; }
    const std::filesystem::path& path() const { return path_; }

    // Gives the new file everything but the content that `original` has,
    // through the open files, never by name: on POSIX its owner, group,
    // permission bits and every extended attribute byte for byte (and none
    // the original lacks); on Windows its attributes, creation time and access
    // list.
    std::error_code copyMetadataFrom(const File& original);
    // Gives the new file what a file an ordinary program creates has (POSIX:
    // mode 0666 less the umask).
    std::error_code giveFreshMetadata();

    struct Committed {
        // What failed once the new file was in place (POSIX: syncing the
        // folder, which makes the rename durable); it is in place all the same.
        std::error_code afterwards;
    };

    // Makes the content durable and puts it in the target's place, provided
    // the temporary name still stands for the file written and the target's
    // name still for `replaced` (or, without it, for nothing). Otherwise, and
    // on any failure, nothing is replaced. The `held` files stay held until
    // the new file is in place; Windows cannot replace an open file, so there
    // they are let go right before.
    Result<Committed> commit(const std::optional<FileState>& replaced, std::vector<File> held);

private:
    TemporaryFile(File file, std::intptr_t folder, std::filesystem::path path,
                  std::filesystem::path target)
        : file_(std::move(file))
        , folder_(folder)
        , path_(std::move(path))
        , target_(std::move(target)) {}

    File file_;
    std::intptr_t folder_ = -1; // the folder, held open on POSIX
    std::filesystem::path path_;
    std::filesystem::path target_;
    bool committed_ = false;
};

} // namespace veskard::platform
