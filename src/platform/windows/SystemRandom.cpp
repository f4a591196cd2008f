#include "platform/SystemRandom.h"

#include "platform/windows/Win32.h"

#include <bcrypt.h>

namespace veskard::platform {

std::error_code fillWithSystemRandom(std::span<std::byte> bytes) {
    const NTSTATUS status =
        ::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bytes.data()),
                          static_cast<ULONG>(bytes.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status < 0)
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    return {};
}

} // namespace veskard::platform
