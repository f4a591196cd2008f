#include "platform/TemporaryFile.h"

#include <random>
#include <string>

namespace veskard::platform {
namespace {

std::string randomSuffix() {
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::string suffix(8, 'x');
    for (char& c : suffix)
        c = letters[device() % (sizeof letters - 1)];
    return suffix;
}

} // namespace

// ".name.xxxxxxxx.tmp" beside the target: the same folder, so the final rename
// never crosses file systems, and a leading dot keeps a leftover of a killed
// run out of the way.
Result<TemporaryFile> TemporaryFile::createBeside(const std::filesystem::path& target) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path name = ".";
        name += target.filename();
        name += "." + randomSuffix() + ".tmp";
        std::filesystem::path path = target.parent_path() / name;
        Result<File> file = File::createNew(path);
        if (file)
            return TemporaryFile(std::move(*file), std::move(path));
        if (file.error() != std::errc::file_exists)
            return file.error();
    }
    return std::make_error_code(std::errc::file_exists);
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : file_(std::move(other.file_))
    , path_(std::move(other.path_))
    , committed_(other.committed_) {
    other.committed_ = true;
}

} // namespace veskard::platform
