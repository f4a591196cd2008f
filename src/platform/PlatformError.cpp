#include "platform/PlatformError.h"

#include <string>

namespace veskard::platform {
namespace {

class PlatformCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-platform"; }
    std::string message(int value) const override {
        switch (static_cast<PlatformError>(value)) {
        case PlatformError::HeldByAnotherProgram:
            return "另一个程序正在使用此文件，进程无法访问。";
        case PlatformError::NotRegularFile:
            return "不是普通文件";
        case PlatformError::FileReplaced:
            return "文件在处理期间被另一个程序移走或替换了";
        case PlatformError::TemporaryFileReplaced:
            return "临时文件在写入后被另一个程序替换了";
        case PlatformError::FolderReplaced:
            return "新建的文件夹被另一个程序移走或替换了";
        case PlatformError::NotUsersOwnFile:
            return "不是当前用户自己的文件（符号链接、硬链接或其他用户的文件）";
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
