#include "support/FileHold.h"

#include "platform/windows/Win32.h"

// Windows keeps other programs out through the share mode a file is opened
// with: while this handle is open, nobody may open the file in a way it does
// not share.
namespace veskard::test {

std::vector<std::string> holdWays() {
    return {"reader", "writer", "exclusive"};
}

std::error_code holdFile(const std::filesystem::path& file, std::string_view way) {
    DWORD access = 0;
    DWORD share = 0;
    if (way == "reader") {
        access = GENERIC_READ;
        share = FILE_SHARE_READ;
    } else if (way == "writer") { // a program writing a log that others may watch
        access = GENERIC_WRITE;
        share = FILE_SHARE_READ;
    } else if (way == "exclusive") {
        access = GENERIC_READ | GENERIC_WRITE;
    } else {
        return std::make_error_code(std::errc::invalid_argument);
    }
    // Never closed: the handle goes with the process.
    const HANDLE handle = ::CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return platform::win32::lastError();
    return {};
}

} // namespace veskard::test
