#pragma once

// Included once per form of XXH3, each in a source file compiled for it, so
// that every form has its own copy of the inline functions.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "engine/Xxh3.h"

#include <new>

namespace veskard::engine::xxh3 {
namespace {

static_assert(sizeof(XXH3_state_t) <= StateSize && alignof(XXH3_state_t) <= StateAlignment);

constexpr Functions thisForm{[](void* state) { XXH3_64bits_reset(new (state) XXH3_state_t); },
                             [](void* state, const void* bytes, std::size_t length) {
                                 XXH3_64bits_update(static_cast<XXH3_state_t*>(state), bytes,
                                                    length);
                             },
                             [](const void* state) -> std::uint64_t {
                                 return XXH3_64bits_digest(static_cast<const XXH3_state_t*>(state));
                             }};

} // namespace
} // namespace veskard::engine::xxh3
