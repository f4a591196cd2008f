#include "cli/CliError.h"
#include "texts/Texts.h"

#include <string>

namespace veskard::cli {
namespace {

class CliCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veskard-cli"; }
    std::string message(int value) const override {
        switch (static_cast<CliError>(value)) {
        case CliError::PasswordMismatch:
            return texts::cli::confirmationDiffers;
        case CliError::WrongPassword:
            return texts::cli::wrongPassword;
        case CliError::PasswordNotUtf8:
            return texts::cli::passwordNotUtf8;
        case CliError::NoTerminal:
            return texts::cli::noTerminal;
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
