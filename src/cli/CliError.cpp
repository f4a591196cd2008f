#include "cli/CliError.h"

#include <string>

namespace veskard::cli {
namespace {

class CliCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-cli"; }
    std::string message(int value) const override {
        switch (static_cast<CliError>(value)) {
        case CliError::PasswordMismatch:
            return "密码确认不正确！";
        case CliError::WrongPassword:
            return "密码不正确！";
        case CliError::PasswordNotUtf8:
            return "密码不是有效的 UTF-8 文字！";
        case CliError::NoTerminal:
            return "没有可以输入密码的终端，请用 --password-stdin 从标准输入给出密码。";
        }
        return "unknown command-line error";
    }
};

} // namespace

const std::error_category& cliCategory() {
    static const CliCategory category;
    return category;
}

} // namespace veskard::cli
