#pragma once

#include <string>
#include <string_view>

namespace veskard::engine {

// `text` (UTF-8) with every control character (below 0x20, and 0x7F) turned
// into '?'. A file name on POSIX may hold line breaks: written into a line of
// the log, the report or a script as it is, it would end that line and start
// lines of its own. The bytes of a multi-byte character are all 0x80 or
// above, so every other character stays as it was.
std::string controlCharactersMasked(std::string_view text);

} // namespace veskard::engine
