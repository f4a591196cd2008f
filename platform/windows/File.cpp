#include "platform/File.h"

#include "platform/PlatformError.h"
#include "platform/windows/Win32.h"

#include <algorithm>

namespace veskard::platform {
namespace {

using win32::lastError;

HANDLE win32Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// A file another program holds without sharing it is the one refusal callers
// treat on its own; every other failure keeps the system's code.
std::error_code openError() {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return PlatformError::HeldByAnotherProgram;
    return {static_cast<int>(code), std::system_category()};
}

Result<HANDLE> open(const std::filesystem::path& path, DWORD access, DWORD share, DWORD creation) {
    const HANDLE handle = ::CreateFileW(path.c_str(), access, share, nullptr, creation,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return openError();
    return handle;
}

// Largest single transfer: ReadFile and WriteFile count in DWORDs.
constexpr std::size_t maxTransfer = 1u << 30;

} // namespace

Result<File> File::openForReading(const std::filesystem::path& path) {
    const Result<HANDLE> handle = open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!handle)
        return handle.error();
    return File(reinterpret_cast<std::intptr_t>(*handle));
}

Result<File> File::openExclusive(const std::filesystem::path& path) {
    const Result<HANDLE> handle = open(path, GENERIC_READ, 0, OPEN_EXISTING);
    if (!handle)
        return handle.error();
    return File(reinterpret_cast<std::intptr_t>(*handle));
}

Result<File> File::createNew(const std::filesystem::path& path) {
    const Result<HANDLE> handle =
        open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW);
    if (!handle)
        return handle.error();
    return File(reinterpret_cast<std::intptr_t>(*handle));
}

File::~File() {
    close();
}

Result<std::uint64_t> File::size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(win32Handle(handle_), &size))
        return lastError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

Result<std::int64_t> File::lastWriteTime() const {
    FILETIME written{};
    if (!::GetFileTime(win32Handle(handle_), nullptr, nullptr, &written))
        return lastError();
    // 100-nanosecond ticks since 1601 to nanoseconds since 1970.
    constexpr std::int64_t ticksFrom1601To1970 = 116444736000000000;
    const std::int64_t ticks = static_cast<std::int64_t>(
        std::uint64_t{written.dwHighDateTime} << 32 | written.dwLowDateTime);
    return (ticks - ticksFrom1601To1970) * 100;
}

// On a handle opened without FILE_FLAG_OVERLAPPED, a read at an offset also
// moves the file pointer; it is put back so that the next write continues
// where the last one ended, as pread leaves it on POSIX.
Result<std::size_t> File::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    const HANDLE handle = win32Handle(handle_);
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(handle, {}, &position, FILE_CURRENT))
        return lastError();
    std::size_t done = 0;
    std::error_code error;
    while (done < buffer.size()) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min(buffer.size() - done, maxTransfer));
        DWORD count = 0;
        if (!::ReadFile(handle, buffer.data() + done, wanted, &count, &where)) {
            if (::GetLastError() != ERROR_HANDLE_EOF)
                error = lastError();
            break;
        }
        if (count == 0)
            break;
        done += count;
    }
    if (!::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) && !error)
        error = lastError();
    if (error)
        return error;
    return done;
}

std::error_code File::writeAll(std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min(bytes.size(), maxTransfer));
        DWORD count = 0;
        if (!::WriteFile(win32Handle(handle_), bytes.data(), wanted, &count, nullptr))
            return lastError();
        if (count == 0) // a device that takes nothing would otherwise loop forever
            return std::make_error_code(std::errc::io_error);
        bytes = bytes.subspan(count);
    }
    return {};
}

std::error_code File::sync() {
    if (!::FlushFileBuffers(win32Handle(handle_)))
        return lastError();
    return {};
}

std::error_code File::close() {
    if (handle_ == invalidHandle)
        return {};
    const BOOL closed = ::CloseHandle(win32Handle(handle_));
    handle_ = invalidHandle;
    if (!closed)
        return lastError();
    return {};
}

} // namespace veskard::platform
