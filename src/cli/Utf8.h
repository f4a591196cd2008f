#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veskard::cli {

// UTF-8 to UTF-16, refusing anything that is not well-formed UTF-8: stray or
// missing continuation bytes, overlong forms, surrogates and code points past
// U+10FFFF. A password is never guessed from broken bytes.
std::optional<std::u16string> utf8ToUtf16(std::string_view text);

} // namespace veskard::cli
