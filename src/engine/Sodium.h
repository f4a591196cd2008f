#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <memory>
#include <new>
#include <system_error>
#include <type_traits>

// What the strong lock needs of libsodium besides its algorithms: the library
// made ready, and memory for keys.
namespace veskard::engine {

// Makes libsodium ready once for the whole program; any thread may be first.
std::error_code sodiumReady();

namespace secret_memory {
// Guarded memory (libsodium's sodium_malloc): kept out of swap where the system
// allows it, fenced by pages that cannot be touched, wiped when released.
// Null when none can be had.
void* allocate(std::size_t size);
void release(void* memory);
} // namespace secret_memory

// One value of key material in guarded memory, zeroed when made, wiped when
// dropped. Moving hands the memory over; nothing copies it.
template <typename T> class Secret {
public:
    static Result<Secret> make() {
        static_assert(std::is_trivially_copyable_v<T>, "only plain bytes are wiped whole");
        void* memory = secret_memory::allocate(sizeof(T));
        if (memory == nullptr)
            return std::make_error_code(std::errc::not_enough_memory);
        return Secret(new (memory) T{});
    }

    T& operator*() const { return *value_; }
    T* operator->() const { return value_.get(); }
    T* get() const { return value_.get(); }

private:
    struct Release {
        void operator()(T* value) const { secret_memory::release(value); }
    };
    explicit Secret(T* value)
        : value_(value) {}
    std::unique_ptr<T, Release> value_;
};

} // namespace veskard::engine
