#include "engine/Sodium.h"

#include <sodium.h>

namespace veskard::engine {

std::error_code sodiumReady() {
    // sodium_init() is safe to call from several threads; once is enough.
    static const int status = sodium_init();
    if (status < 0)
        return std::make_error_code(std::errc::not_supported);
    return {};
}

namespace secret_memory {

void* allocate(std::size_t size) {
    if (sodiumReady())
        return nullptr;
    return sodium_malloc(size);
}

void release(void* memory) {
    sodium_free(memory);
}

} // namespace secret_memory
} // namespace veskard::engine
