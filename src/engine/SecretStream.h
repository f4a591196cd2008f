#pragma once

// For the engine's own sources only: the one header that needs libsodium's.
#include <sodium.h>

namespace veskard::engine {

// libsodium's secretstream state: the key and nonce of the chunk to come,
// kept in guarded memory (Secret<StreamState>).
struct StreamState {
    crypto_secretstream_xchacha20poly1305_state state;
};

} // namespace veskard::engine
