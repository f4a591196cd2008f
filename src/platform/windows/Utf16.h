#pragma once

#include <string>
#include <string_view>

namespace veskard::platform::win32 {

// Between the UTF-8 the program works in and the UTF-16 of the Windows API.
// Ill-formed input comes out as U+FFFD: these carry text to show and names
// the system gave, which are well formed; passwords never pass through here.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

} // namespace veskard::platform::win32
