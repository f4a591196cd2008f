#pragma once

#include "engine/Sodium.h"
#include "engine/StrongFormat.h"
#include "platform/Result.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace veskard::engine {

// A strong lock's password may be this many bytes long in UTF-8: far beyond
// anything typed, and a bound on what reading one may take.
inline constexpr std::size_t LargestStrongPassword = std::size_t{1} << 20;

// The keys of a strongly locked file, derived from its password; they live in
// guarded memory and are wiped when dropped. Argon2id turns the password's
// UTF-8 bytes, the salt and the cost into a master key, and
// crypto_kdf_derive_from_key (context "VeskLock") makes two keys of it:
// number 1 keys the header's MAC, number 2 the content's stream.
class StrongKeys {
public:
    using Key = std::array<unsigned char, 32>;

    // Slow on purpose: as slow and as hungry as `cost` says (about a second
    // and 256 MiB at the moderate level). An empty password is EmptyPassword,
    // one of more than LargestStrongPassword bytes StrongPasswordTooLong; too
    // little memory for Argon2id is not_enough_memory. A lone UTF-16
    // surrogate, which no text holds, is taken in its own three-byte form
    // (as WTF-8 does), so that every text gives bytes of its own.
    static Result<StrongKeys> derive(std::u16string_view password, const KeyCost& cost,
                                     const Salt& salt);
    // Why derive() would refuse `password` (see there), at once: nothing when
    // it would not.
    static std::error_code passwordProblem(std::u16string_view password);
    // A salt of the system's cryptographic randomness (libsodium's).
    static Result<Salt> freshSalt();

    HeaderMac headerMac(const StrongHeader& header) const;
    // Whether `header` was made with these keys: its MAC fits.
    bool open(const StrongHeader& header) const;
    const Key& streamKey() const { return keys_->stream; }

private:
    struct Keys {
        Key header;
        Key stream;
    };
    explicit StrongKeys(Secret<Keys> keys)
        : keys_(std::move(keys)) {}
    Secret<Keys> keys_;
};

} // namespace veskard::engine
