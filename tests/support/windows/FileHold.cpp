#include "support/FileHold.h"

#include "platform/windows/Win32.h"

#include <stdexcept>

// Windows keeps other programs out through the share mode a file is opened
// with: while this handle is open, nobody may open the file in a way it does
// not share. A writer lets others read, as a program writing a log does.
namespace veskard::test {

std::vector<std::string> FileHold::ways() {
    return {"reader", "writer", "exclusive"};
}

FileHold::FileHold(const std::filesystem::path& file, const std::string& way) {
    const DWORD access = way == "reader"   ? GENERIC_READ
                         : way == "writer" ? GENERIC_WRITE
                                           : GENERIC_READ | GENERIC_WRITE;
    const HANDLE handle =
        ::CreateFileW(file.c_str(), access, way == "exclusive" ? 0 : FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot hold " + file.string() + " as " + way);
    handle_ = reinterpret_cast<std::intptr_t>(handle);
}

FileHold::~FileHold() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace veskard::test
