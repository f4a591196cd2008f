#pragma once

#include <string_view>

namespace veskard::engine {

// The number a typed text stands for, read the way the number boxes read it:
// blanks, tabs and line feeds are skipped wherever they stand ("1 2" is 12);
// then an optional sign, digits with at most one full stop (whatever the
// locale), and an optional exponent E or D ("1.5e3"), or "&H" or "&O"
// followed by hexadecimal or octal digits ("&HA" is 10). Reading stops at the
// first character that does not fit ("12abc" is 12); a text without a number
// is 0. The text is UTF-8; anything beyond ASCII ends the number.
double numericValue(std::string_view text);

} // namespace veskard::engine
