#include "engine/StrongKeys.h"

#include "engine/EngineError.h"

#include <sodium.h>

#include <string>

namespace veskard::engine {
namespace {

constexpr char KeyContext[crypto_kdf_CONTEXTBYTES + 1] = "VeskLock";
constexpr std::uint64_t HeaderKeyNumber = 1;
constexpr std::uint64_t StreamKeyNumber = 2;
static_assert(sizeof(StrongKeys::Key) == crypto_kdf_KEYBYTES);
static_assert(sizeof(StrongKeys::Key) == crypto_secretstream_xchacha20poly1305_KEYBYTES);

// The password's bytes, wiped when done with.
class PasswordBytes {
public:
    explicit PasswordBytes(std::u16string_view text) {
        bytes_.reserve(3 * text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t code = text[i];
            const bool pair = code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (pair)
                code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
            append(code);
        }
    }
    ~PasswordBytes() { sodium_memzero(bytes_.data(), bytes_.capacity()); }
    PasswordBytes(const PasswordBytes&) = delete;
    PasswordBytes& operator=(const PasswordBytes&) = delete;

    const std::string& bytes() const { return bytes_; }

private:
    void append(char32_t code) {
        const auto add = [&](char32_t bits) { bytes_.push_back(static_cast<char>(bits)); };
        if (code < 0x80) {
            add(code);
        } else if (code < 0x800) {
            add(0xC0 | (code >> 6));
            add(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            add(0xE0 | (code >> 12));
            add(0x80 | ((code >> 6) & 0x3F));
            add(0x80 | (code & 0x3F));
        } else {
            add(0xF0 | (code >> 18));
            add(0x80 | ((code >> 12) & 0x3F));
            add(0x80 | ((code >> 6) & 0x3F));
            add(0x80 | (code & 0x3F));
        }
    }

    std::string bytes_;
};

} // namespace

std::error_code StrongKeys::passwordProblem(std::u16string_view password) {
    if (password.empty())
        return EngineError::EmptyPassword;
    if (PasswordBytes(password).bytes().size() > LargestStrongPassword)
        return EngineError::StrongPasswordTooLong;
    return {};
}

Result<StrongKeys> StrongKeys::derive(std::u16string_view password, const KeyCost& cost,
                                      const Salt& salt) {
    if (const std::error_code problem = passwordProblem(password))
        return problem;
    const PasswordBytes bytes(password);
    // Guarded memory makes libsodium ready first.
    Result<Secret<Key>> master = Secret<Key>::make();
    if (!master)
        return master.error();
    Result<Secret<Keys>> keys = Secret<Keys>::make();
    if (!keys)
        return keys.error();
    // Costs come from a header, whose reader bounds them, or from the program.
    if (crypto_pwhash((*master)->data(), (*master)->size(), bytes.bytes().data(),
                      bytes.bytes().size(), reinterpret_cast<const unsigned char*>(salt.data()),
                      cost.opsLimit, static_cast<std::size_t>(cost.memLimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::make_error_code(std::errc::not_enough_memory);
    crypto_kdf_derive_from_key((*keys)->header.data(), (*keys)->header.size(), HeaderKeyNumber,
                               KeyContext, (*master)->data());
    crypto_kdf_derive_from_key((*keys)->stream.data(), (*keys)->stream.size(), StreamKeyNumber,
                               KeyContext, (*master)->data());
    return StrongKeys(std::move(*keys));
}

Result<Salt> StrongKeys::freshSalt() {
    if (const std::error_code error = sodiumReady())
        return error;
    Salt salt{};
    randombytes_buf(salt.data(), salt.size());
    return salt;
}

HeaderMac StrongKeys::headerMac(const StrongHeader& header) const {
    const auto fields = header.fields();
    HeaderMac mac{};
    crypto_generichash(reinterpret_cast<unsigned char*>(mac.data()), mac.size(),
                       reinterpret_cast<const unsigned char*>(fields.data()), fields.size(),
                       keys_->header.data(), keys_->header.size());
    return mac;
}

bool StrongKeys::open(const StrongHeader& header) const {
    const HeaderMac mac = headerMac(header);
    return sodium_memcmp(mac.data(), header.mac.data(), mac.size()) == 0;
}

} // namespace veskard::engine
