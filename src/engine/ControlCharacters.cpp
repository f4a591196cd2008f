#include "engine/ControlCharacters.h"

#include <algorithm>

namespace veskard::engine {

std::string controlCharactersMasked(std::string_view text) {
    std::string masked(text);
    std::replace_if(
        masked.begin(), masked.end(),
        [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        },
        '?');
    return masked;
}

} // namespace veskard::engine
