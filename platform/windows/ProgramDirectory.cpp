#include "platform/ProgramDirectory.h"

#include "platform/windows/Win32.h"

#include <string>

namespace veskard::platform {

std::filesystem::path programDirectory() {
    // The module name has no length limit we could know beforehand: a buffer
    // filled to the brim means the name was cut, so it grows and tries again.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            std::error_code error;
            return std::filesystem::current_path(error);
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

} // namespace veskard::platform
