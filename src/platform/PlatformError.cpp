#include "platform/PlatformError.h"

#include "texts/Texts.h"

#include <string>

namespace veskard::platform {
namespace {

class PlatformCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-platform"; }
    std::string message(int value) const override {
        switch (static_cast<PlatformError>(value)) {
        case PlatformError::HeldByAnotherProgram:
            return texts::system::heldByAnotherProgram;
        case PlatformError::NotRegularFile:
            return texts::system::notRegularFile;
        case PlatformError::FileReplaced:
            return texts::system::fileReplaced;
        case PlatformError::TemporaryFileReplaced:
            return texts::system::temporaryFileReplaced;
        case PlatformError::FolderReplaced:
            return texts::system::folderReplaced;
        case PlatformError::NotUsersOwnFile:
            return texts::system::notUsersOwnFile;
        }
        return "unknown platform error";
    }
    std::error_condition default_error_condition(int value) const noexcept override {
        if (static_cast<PlatformError>(value) == PlatformError::HeldByAnotherProgram)
            return std::errc::device_or_resource_busy;
        return {value, *this};
    }
};

} // namespace

const std::error_category& platformCategory() {
    static const PlatformCategory category;
    return category;
}

} // namespace veskard::platform
