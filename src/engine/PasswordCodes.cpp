#include "engine/PasswordCodes.h"

#include "engine/EngineError.h"
#include "engine/RecordFormat.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace veskard::engine {

Result<std::vector<std::string>> encodePassword(std::u16string_view password) {
    if (password.empty())
        return EngineError::EmptyPassword;
    // The record could hold more, but no reader would take it back.
    if (password.size() > MaximumPassCodes)
        return EngineError::PasswordTooLong;
    std::vector<std::string> codes;
    codes.reserve(password.size());
    for (const char16_t unit : password) {
        char digits[8];
        const auto end =
            std::to_chars(std::begin(digits), std::end(digits), platform::toCodePage(unit), 16).ptr;
        std::string code(digits, end);
        std::transform(code.begin(), code.end(), code.begin(),
                       [](char c) { return static_cast<char>(std::toupper(c)); });
        codes.push_back(std::move(code));
    }
    return codes;
}

bool isValidPassCode(std::string_view code) {
    return !code.empty() && code.size() <= 4 && std::all_of(code.begin(), code.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::u16string decodePassword(const std::vector<std::string>& passCodes) {
    std::u16string password;
    password.reserve(passCodes.size());
    for (const std::string& code : passCodes) {
        std::uint16_t value = platform::QuestionMarkCode;
        if (isValidPassCode(code))
            std::from_chars(code.data(), code.data() + code.size(), value, 16);
        password.push_back(platform::fromCodePage(value));
    }
    return password;
}

} // namespace veskard::engine
