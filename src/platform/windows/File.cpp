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

// A handle that closes itself unless handed on.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle)
        : handle_(handle) {}
    ~OwnedHandle() {
        if (valid())
            ::CloseHandle(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

// 100-nanosecond ticks since 1601 to nanoseconds since 1970.
std::int64_t nanoseconds(std::int64_t ticks) {
    constexpr std::int64_t ticksFrom1601To1970 = 116444736000000000;
    return (ticks - ticksFrom1601To1970) * 100;
}

std::int64_t ticksOf(const FILETIME& time) {
    return static_cast<std::int64_t>(std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime);
}

// Devices (NUL, CON, COM1) and pipes are not files on a disk; folders are no
// regular files either.
Result<FileState> stateOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return PlatformError::NotRegularFile;
    if (!::GetFileInformationByHandle(handle, &info))
        return lastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return PlatformError::NotRegularFile;
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return lastError();
    return FileState{info.dwVolumeSerialNumber,
                     std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                     info.nNumberOfLinks,
                     std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow,
                     nanoseconds(ticksOf(info.ftLastWriteTime)),
                     nanoseconds(times.ChangeTime.QuadPart)};
}

// The share mode keeps the file where it is while it is open: without
// FILE_SHARE_DELETE nobody may rename or replace it.
Result<HANDLE> openHeld(const std::filesystem::path& path, DWORD share) {
    if (const Result<FileState> state = regularFileState(path); !state)
        return state.error();
    OwnedHandle handle(::CreateFileW(win32::apiPath(path).c_str(), GENERIC_READ, share, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid())
        return openError();
    if (const Result<FileState> state = stateOf(handle.get()); !state)
        return state.error();
    return handle.release();
}

// Largest single transfer: ReadFile and WriteFile count in DWORDs.
constexpr std::size_t maxTransfer = 1u << 30;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

} // namespace

// Opened for no access at all, which neither a share mode refuses nor a
// device notices.
Result<FileState> regularFileState(const std::filesystem::path& path) {
    const OwnedHandle handle(::CreateFileW(win32::apiPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                           nullptr));
    if (!handle.valid())
        return openError();
    return stateOf(handle.get());
}

Result<File> File::openForReading(const std::filesystem::path& path) {
    const Result<HANDLE> handle = openHeld(path, FILE_SHARE_READ);
    if (!handle)
        return handle.error();
    return File(reinterpret_cast<std::intptr_t>(*handle));
}

Result<File> File::openExclusive(const std::filesystem::path& path) {
    const Result<HANDLE> handle = openHeld(path, 0);
    if (!handle)
        return handle.error();
    return File(reinterpret_cast<std::intptr_t>(*handle));
}

Result<File> File::createNew(const std::filesystem::path& path) {
    const HANDLE handle =
        ::CreateFileW(win32::apiPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return openError();
    return File(reinterpret_cast<std::intptr_t>(handle));
}

// The name itself is opened, never what a reparse point (a symbolic link, a
// junction) leads to. The owner is not asked: a file an administrator makes
// belongs to the Administrators group, not to the user who made it, and whom
// a folder lets write is its access list's business, not its files' owners'.
Result<File> File::openProgramFile(const std::filesystem::path& path, ProgramFileAccess access) {
    DWORD wanted = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (access) {
    case ProgramFileAccess::Read:
        break;
    case ProgramFileAccess::ReadWrite:
        wanted = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        break;
    case ProgramFileAccess::Append:
        wanted = GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        break;
    }
    OwnedHandle handle(
        ::CreateFileW(win32::apiPath(path).c_str(), wanted, FILE_SHARE_READ, nullptr, disposition,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.valid())
        return openError();
    const Result<FileState> state = stateOf(handle.get());
    if (!state)
        return state.error();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &tag, sizeof tag))
        return lastError();
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || state->links != 1)
        return PlatformError::NotUsersOwnFile;
    File file(reinterpret_cast<std::intptr_t>(handle.release()));
    // Writes name their offsets (writeAll): appending starts where the file ends.
    if (access == ProgramFileAccess::Append)
        file.written_ = state->size;
    return file;
}

File::~File() {
    close();
}

Result<FileState> File::state() const {
    return stateOf(win32Handle(handle_));
}

Result<std::uint64_t> File::size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(win32Handle(handle_), &size))
        return lastError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

// Reads and writes name their offsets (OVERLAPPED on a handle opened without
// FILE_FLAG_OVERLAPPED): the file pointer that they also move is never
// relied on, so that several threads may read at once, and writing goes on
// where it stopped whatever was read in between.
Result<std::size_t> File::readAt(std::uint64_t offset, std::span<std::byte> buffer) const {
    std::size_t done = 0;
    while (done < buffer.size()) {
        OVERLAPPED where = at(offset + done);
        const DWORD wanted = static_cast<DWORD>(std::min(buffer.size() - done, maxTransfer));
        DWORD count = 0;
        if (!::ReadFile(win32Handle(handle_), buffer.data() + done, wanted, &count, &where)) {
            if (::GetLastError() != ERROR_HANDLE_EOF)
                return lastError();
            break;
        }
        if (count == 0)
            break;
        done += count;
    }
    return done;
}

std::error_code File::writeAll(std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        OVERLAPPED where = at(written_);
        const DWORD wanted = static_cast<DWORD>(std::min(bytes.size(), maxTransfer));
        DWORD count = 0;
        if (!::WriteFile(win32Handle(handle_), bytes.data(), wanted, &count, &where))
            return lastError();
        if (count == 0) // a device that takes nothing would otherwise loop forever
            return std::make_error_code(std::errc::io_error);
        bytes = bytes.subspan(count);
        written_ += count;
    }
    return {};
}

std::error_code File::truncate(std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFileInformationByHandle(win32Handle(handle_), FileEndOfFileInfo, &end, sizeof end))
        return lastError();
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
