#include "platform/TemporaryFile.h"

#include "platform/PlatformError.h"
#include "platform/TemporaryName.h"
#include "platform/windows/Win32.h"

#include <aclapi.h>
#include <cstddef>
#include <cstring>
#include <vector>

namespace veskard::platform {
namespace {

using win32::lastError;

HANDLE win32Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The attributes a program may set; the others (folder, compressed,
// encrypted, ...) are the file system's.
constexpr DWORD SettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

Result<FILE_BASIC_INFO> basicInfo(HANDLE handle) {
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info))
        return lastError();
    return info;
}

// Zero in a time field leaves that time as it is; zero attributes are spelled NORMAL.
std::error_code setBasicInfo(HANDLE handle, LARGE_INTEGER created, DWORD attributes) {
    FILE_BASIC_INFO info{};
    info.CreationTime = created;
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info))
        return lastError();
    return {};
}

// The access list, protected from its folder's or inheriting from it as the
// original's is.
std::error_code copyAccessList(HANDLE from, HANDLE to) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (const DWORD error = ::GetSecurityInfo(from, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                              nullptr, nullptr, &list, nullptr, &descriptor))
        return {static_cast<int>(error), std::system_category()};
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                       : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD error =
        ::SetSecurityInfo(to, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
    ::LocalFree(descriptor);
    return error ? std::error_code(static_cast<int>(error), std::system_category())
                 : std::error_code();
}

// FileRenameInfoEx and its flag that lets a rename replace a read-only file
// (Windows 10 1809 and later, on NTFS), spelled out for older headers.
constexpr auto FileRenameInfoExClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD RenameReplaceIfExists = 0x1;
constexpr DWORD RenameIgnoreReadOnly = 0x40;

// FILE_RENAME_INFO with its first member as the flags word it is for FileRenameInfoEx.
struct RenameRequest {
    DWORD flags;
    HANDLE root;
    DWORD nameBytes;
    WCHAR name[1];
};
static_assert(offsetof(RenameRequest, name) == offsetof(FILE_RENAME_INFO, FileName));

// Renames the open file over a read-only target, named in full, in one step.
// False, with nothing changed, where the system or file system cannot.
Result<bool> renameOverReadOnly(HANDLE handle, const std::filesystem::path& target) {
    const std::wstring name = win32::apiPath(target);
    const std::size_t bytes = sizeof(RenameRequest) + name.size() * sizeof(WCHAR);
    std::vector<std::uint64_t> storage(bytes / sizeof(std::uint64_t) + 1);
    auto* request = reinterpret_cast<RenameRequest*>(storage.data());
    request->flags = RenameReplaceIfExists | RenameIgnoreReadOnly;
    request->nameBytes = static_cast<DWORD>(name.size() * sizeof(WCHAR));
    std::memcpy(request->name, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    if (::SetFileInformationByHandle(handle, FileRenameInfoExClass, request,
                                     static_cast<DWORD>(bytes)))
        return true;
    const DWORD code = ::GetLastError();
    if (code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED ||
        code == ERROR_INVALID_FUNCTION)
        return false;
    return std::error_code(static_cast<int>(code), std::system_category());
}

} // namespace

// Absolute names: ReplaceFileW does not take a bare file name.
Result<TemporaryFile> TemporaryFile::createBeside(const std::filesystem::path& given) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::absolute(given, error);
    if (error)
        return error;
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const Result<std::filesystem::path> name = detail::temporaryName(target);
        if (!name)
            return name.error();
        std::filesystem::path path = folder / *name;
        // DELETE, to be renamed by handle; WRITE_DAC, to take the original's access list.
        const HANDLE handle =
            ::CreateFileW(win32::apiPath(path).c_str(),
                          GENERIC_READ | GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC,
                          FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return TemporaryFile(File(reinterpret_cast<std::intptr_t>(handle)), -1, std::move(path),
                                 target);
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return lastError();
    }
    return std::make_error_code(std::errc::file_exists);
}

TemporaryFile::~TemporaryFile() {
    if (committed_)
        return;
    file_.close();
    // It may carry the read-only flag it was to end with.
    ::SetFileAttributesW(win32::apiPath(path_).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(win32::apiPath(path_).c_str());
}

std::error_code TemporaryFile::copyMetadataFrom(const File& original) {
    const HANDLE from = win32Handle(original.handle_);
    const HANDLE to = win32Handle(file_.handle_);
    const Result<FILE_BASIC_INFO> wanted = basicInfo(from);
    if (!wanted)
        return wanted.error();
    if (const std::error_code error = copyAccessList(from, to))
        return error;
    return setBasicInfo(to, wanted->CreationTime, wanted->FileAttributes & SettableAttributes);
}

std::error_code TemporaryFile::giveFreshMetadata() {
    return {};
}

// Where the target is not read-only, ReplaceFileW, which also keeps what this
// program does not copy (streams, compression, the short name). A read-only
// target is replaced by a rename that ignores the flag, so that there is no
// moment in which it is cleared; where the system lacks that rename the flag
// is cleared for ReplaceFileW and set again right after.
Result<TemporaryFile::Committed> TemporaryFile::commit(const std::optional<FileState>& replaced,
                                                       std::vector<File> held) {
    if (const std::error_code error = file_.sync())
        return error;
    held.clear();
    const HANDLE handle = win32Handle(file_.handle_);
    const Result<FILE_BASIC_INFO> own = basicInfo(handle);
    if (!own)
        return own.error();
    const DWORD wanted = own->FileAttributes & SettableAttributes;

    if (!replaced) {
        file_.close();
        // Without MOVEFILE_REPLACE_EXISTING: a file that appeared meanwhile stays.
        if (!::MoveFileExW(win32::apiPath(path_).c_str(), win32::apiPath(target_).c_str(),
                           MOVEFILE_WRITE_THROUGH))
            return lastError();
        committed_ = true;
        return Committed{};
    }

    const Result<FileState> standing = regularFileState(target_);
    if (!standing)
        return standing.error() == std::errc::no_such_file_or_directory
                   ? make_error_code(PlatformError::FileReplaced)
                   : standing.error();
    if (!standing->isSameFile(*replaced))
        return PlatformError::FileReplaced;
    const DWORD targetAttributes = ::GetFileAttributesW(win32::apiPath(target_).c_str());
    if (targetAttributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    const bool readOnlyTarget = targetAttributes & FILE_ATTRIBUTE_READONLY;
    if (readOnlyTarget) {
        const Result<bool> renamed = renameOverReadOnly(handle, target_);
        if (!renamed)
            return renamed.error();
        if (*renamed) {
            committed_ = true;
            file_.close();
            return Committed{};
        }
    }

    // Neither file of ReplaceFileW may be read-only.
    if (wanted & FILE_ATTRIBUTE_READONLY) {
        if (const std::error_code error =
                setBasicInfo(handle, {}, wanted & ~DWORD{FILE_ATTRIBUTE_READONLY}))
            return error;
    }
    file_.close();
    if (readOnlyTarget && !::SetFileAttributesW(win32::apiPath(target_).c_str(),
                                                targetAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))
        return lastError();
    if (!::ReplaceFileW(win32::apiPath(target_).c_str(), win32::apiPath(path_).c_str(), nullptr,
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr)) {
        const std::error_code error = lastError();
        if (readOnlyTarget)
            ::SetFileAttributesW(win32::apiPath(target_).c_str(), targetAttributes);
        return error;
    }
    committed_ = true;
    // Which file's attributes ReplaceFileW leaves differs between systems.
    Committed committed;
    const DWORD now = ::GetFileAttributesW(win32::apiPath(target_).c_str());
    if ((now & SettableAttributes) != wanted &&
        !::SetFileAttributesW(win32::apiPath(target_).c_str(),
                              wanted ? wanted : FILE_ATTRIBUTE_NORMAL))
        committed.afterwards = lastError();
    return committed;
}

} // namespace veskard::platform
