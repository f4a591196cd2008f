#include "startup/AppendFile.h"

#include "platform/windows/Win32.h"

#include <algorithm>
#include <utility>

namespace veskard::startup {
namespace {

using platform::win32::lastError;

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool moveTo(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

} // namespace

// Others may read and write it meanwhile (the editor showing an earlier entry).
Result<AppendFile> AppendFile::open(const std::filesystem::path& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    AppendFile appended(reinterpret_cast<std::intptr_t>(file));
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || !moveTo(file, static_cast<std::uint64_t>(size.QuadPart)))
        return lastError();
    appended.size_ = static_cast<std::uint64_t>(size.QuadPart);
    return appended;
}

AppendFile::AppendFile(AppendFile&& other) noexcept
    : handle_(std::exchange(other.handle_, invalidHandle))
    , size_(other.size_) {}

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, invalidHandle);
        size_ = other.size_;
    }
    return *this;
}

AppendFile::~AppendFile() {
    close();
}

std::error_code AppendFile::append(std::span<const std::byte> bytes) {
    const HANDLE file = handleOf(handle_);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        const bool wrote = ::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0;
        if (!wrote || written == 0) {
            const std::error_code error =
                wrote ? std::make_error_code(std::errc::io_error) : lastError();
            // Should cutting off fail as well, the write's error is still the one to report.
            if (done > 0 && moveTo(file, size_))
                ::SetEndOfFile(file);
            return error;
        }
        done += written;
    }
    size_ += done;
    return {};
}

std::error_code AppendFile::close() {
    if (handle_ == invalidHandle)
        return {};
    if (!::CloseHandle(handleOf(std::exchange(handle_, invalidHandle))))
        return lastError();
    return {};
}

} // namespace veskard::startup
