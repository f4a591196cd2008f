#include "platform/Folder.h"

#include "platform/PlatformError.h"
#include "platform/windows/Win32.h"

#include <aclapi.h>
#include <vector>

namespace veskard::platform {
namespace {

using win32::lastError;

HANDLE win32Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// One SID of the running program's token: its user (TokenUser) or the owner
// it gives what it makes (TokenOwner).
std::vector<std::byte> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<std::byte> buffer(size);
    if (!size || !::GetTokenInformation(token, kind, buffer.data(), size, &size))
        buffer.clear();
    return buffer;
}

// Made by us: owned by the owner the token gives new objects (for an
// administrator, possibly the Administrators group rather than the user) or
// by the user. Wine gives the user, whatever its token's owner says.
bool isOwnedByUs(HANDLE folder) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    HANDLE token = nullptr;
    bool ours = false;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        const std::vector<std::byte> tokenOwner = tokenInformation(token, TokenOwner);
        const std::vector<std::byte> tokenUser = tokenInformation(token, TokenUser);
        ours =
            (!tokenOwner.empty() &&
             ::EqualSid(owner, reinterpret_cast<const TOKEN_OWNER*>(tokenOwner.data())->Owner)) ||
            (!tokenUser.empty() &&
             ::EqualSid(owner, reinterpret_cast<const TOKEN_USER*>(tokenUser.data())->User.Sid));
        ::CloseHandle(token);
    }
    ::LocalFree(descriptor);
    return ours;
}

} // namespace

// Windows has no openat(): the folder is opened right after it is made, as
// itself rather than where a junction or link would lead, and held without
// delete sharing, so that from then on nobody can rename or replace it, and
// its files can be named in full.
Result<Folder> Folder::createNew(const std::filesystem::path& path) {
    if (!::CreateDirectoryW(win32::apiPath(path).c_str(), nullptr)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
            return std::make_error_code(std::errc::file_exists);
        return lastError();
    }
    const HANDLE handle = ::CreateFileW(
        win32::apiPath(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return PlatformError::FolderReplaced;
        return lastError();
    }
    Folder folder(reinterpret_cast<std::intptr_t>(handle), path);
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info))
        return lastError();
    if (!(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !isOwnedByUs(handle))
        return PlatformError::FolderReplaced;
    return folder;
}

Folder::~Folder() {
    if (handle_ != invalidHandle)
        ::CloseHandle(win32Handle(handle_));
}

// The folder cannot be renamed while held, so its full name leads into it;
// the file itself is never one a link stands for.
Result<File> Folder::createNewFile(const std::filesystem::path& name, NewFileKind) {
    const HANDLE handle =
        ::CreateFileW(win32::apiPath(path_ / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    return File(reinterpret_cast<std::intptr_t>(handle));
}

std::error_code Folder::removeFile(const std::filesystem::path& name) {
    if (!::DeleteFileW(win32::apiPath(path_ / name).c_str()))
        return lastError();
    return {};
}

} // namespace veskard::platform
