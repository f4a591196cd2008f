#include "platform/DirectoryLookup.h"

#include "platform/windows/Win32.h"

namespace veskard::platform {
namespace {

// A directory search that closes itself.
class Search {
public:
    explicit Search(const std::filesystem::path& pattern)
        : handle_(::FindFirstFileW(win32::apiPath(pattern).c_str(), &entry_)) {}
    ~Search() {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::FindClose(handle_);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    bool found() const { return handle_ != INVALID_HANDLE_VALUE && !exhausted_; }
    const WIN32_FIND_DATAW& entry() const { return entry_; }
    void next() { exhausted_ = !::FindNextFileW(handle_, &entry_); }

private:
    WIN32_FIND_DATAW entry_{};
    HANDLE handle_;
    bool exhausted_ = false;
};

bool matchesMask(const WIN32_FIND_DATAW& entry, std::uint32_t mask) {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    const std::uint32_t restricted =
        entry.dwFileAttributes & (LookupMask::Hidden | LookupMask::System);
    return (restricted & ~mask) == 0;
}

bool comesBefore(const wchar_t* name, const std::wstring& other) {
    return ::CompareStringOrdinal(name, -1, other.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

} // namespace

// The search order depends on the file system (NTFS sorts, FAT and Wine do
// not), so every match is looked at and the first by name wins: the same
// answer everywhere, and the one NTFS would give, ignoring case as it does.
std::optional<std::filesystem::path> findFirstFile(const std::filesystem::path& pattern,
                                                   std::uint32_t mask) {
    if (pattern.filename().empty())
        return std::nullopt;
    std::optional<std::wstring> first;
    for (Search search(pattern); search.found(); search.next()) {
        const WIN32_FIND_DATAW& entry = search.entry();
        if (matchesMask(entry, mask) && (!first || comesBefore(entry.cFileName, *first)))
            first = entry.cFileName;
    }
    if (!first)
        return std::nullopt;
    return std::filesystem::path(*first);
}

} // namespace veskard::platform
