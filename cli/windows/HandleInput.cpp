#include "cli/windows/HandleInput.h"

#include "platform/windows/Utf16.h"

namespace veskard::cli {

HandleInput::HandleInput(HANDLE handle)
    : handle_(handle) {
    DWORD mode = 0;
    console_ = ::GetConsoleMode(handle, &mode) != 0;
}

HandleInput::int_type HandleInput::underflow() {
    if (gptr() == egptr() && !(console_ ? readFromConsole() : readFromFile()))
        return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}

// One line, or as much of it as fits: the console hands over what was typed
// once Enter is pressed.
bool HandleInput::readFromConsole() {
    std::array<wchar_t, 1024> typed{};
    DWORD count = 0;
    if (!::ReadConsoleW(handle_, typed.data(), static_cast<DWORD>(typed.size()), &count, nullptr) ||
        count == 0)
        return false;
    buffer_ = platform::win32::toUtf8({typed.data(), count});
    setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
    return true;
}

// A pipe whose writer has gone reports ERROR_BROKEN_PIPE: the end of the input.
bool HandleInput::readFromFile() {
    buffer_.resize(4096);
    DWORD count = 0;
    if (!::ReadFile(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &count, nullptr) ||
        count == 0)
        return false;
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return true;
}

} // namespace veskard::cli
