#include "engine/EngineError.h"

#include <string>

namespace veskard::engine {
namespace {

class EngineCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-engine"; }
    std::string message(int value) const override {
        switch (static_cast<EngineError>(value)) {
        case EngineError::DamagedRecord:
            return "文件已破坏或不是加密文件";
        case EngineError::EmptyPassword:
            return "密码不能为空";
        case EngineError::PasswordTooLong:
            return "密码太长，最多只能有 65535 个字符";
        case EngineError::UnstorablePassword:
            return "密码中有不能保存的字符（只能用 GBK 中的字符）";
        case EngineError::EmptyFile:
            return "文件为 0 字节";
        case EngineError::FileTooSmall:
            return "文件必须大于 100 字节";
        case EngineError::AlreadyEnciphered:
            return "文件已经加密过";
        case EngineError::FileTooLarge:
            return "文件太大";
        case EngineError::UnexpectedEnd:
            return "文件比它应有的短";
        case EngineError::VerificationFailed:
            return "写入的数据读回来不一致";
        case EngineError::SourceChanged:
            return "文件在处理期间被另一个程序改动了";
        case EngineError::HasOtherNames:
            return "文件还有别的名称（硬链接），不能就地改写";
        case EngineError::NoTarget:
            return "没有给出目标文件";
        case EngineError::NothingLoaded:
            return "没有装入文件";
        case EngineError::StrongPasswordTooLong:
            return "密码太长，最多只能有 1048576 字节（UTF-8）";
        }
        return "unknown engine error";
    }
};

} // namespace

const std::error_category& engineCategory() {
    static const EngineCategory category;
    return category;
}

} // namespace veskard::engine
