#include "cli/windows/HandleOutput.h"

#include "platform/windows/Utf16.h"

#include <algorithm>
#include <cstring>

namespace veskard::cli {
namespace {

// How many bytes at the end of `text` begin a character that is not complete
// yet: it is converted once its other bytes arrive, not as broken halves.
std::size_t incompleteTail(std::string_view text) {
    const std::size_t lookBack = std::min<std::size_t>(text.size(), 3);
    for (std::size_t back = 1; back <= lookBack; ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: the lead is further back
        const std::size_t length = (byte & 0xE0) == 0xC0   ? 2
                                   : (byte & 0xF0) == 0xE0 ? 3
                                   : (byte & 0xF8) == 0xF0 ? 4
                                                           : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

HandleOutput::HandleOutput(HANDLE handle)
    : handle_(handle) {
    DWORD mode = 0;
    console_ = ::GetConsoleMode(handle, &mode) != 0;
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

HandleOutput::~HandleOutput() {
    writeOut();
}

HandleOutput::int_type HandleOutput::overflow(int_type byte) {
    if (!writeOut())
        return traits_type::eof();
    if (traits_type::eq_int_type(byte, traits_type::eof()))
        return traits_type::not_eof(byte);
    *pptr() = traits_type::to_char_type(byte);
    pbump(1);
    return byte;
}

int HandleOutput::sync() {
    return writeOut() ? 0 : -1;
}

// Writes what the buffer holds, except on a console the start of a character
// still to be completed, which moves to the buffer's front.
bool HandleOutput::writeOut() {
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    const std::size_t kept = console_ ? incompleteTail(pending) : 0;
    const std::string_view ready = pending.substr(0, pending.size() - kept);
    const bool written = console_ ? writeToConsole(ready) : writeToFile(ready);
    std::memmove(buffer_.data(), ready.data() + ready.size(), kept);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    pbump(static_cast<int>(kept));
    return written;
}

bool HandleOutput::writeToConsole(std::string_view text) {
    const std::wstring wide = platform::win32::toUtf16(text);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD count = 0;
        if (!::WriteConsoleW(handle_, rest.data(), static_cast<DWORD>(rest.size()), &count,
                             nullptr) ||
            count == 0)
            return false;
        rest.remove_prefix(count);
    }
    return true;
}

bool HandleOutput::writeToFile(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD count = 0;
        if (!::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &count,
                         nullptr) ||
            count == 0)
            return false;
        bytes.remove_prefix(count);
    }
    return true;
}

} // namespace veskard::cli
