#pragma once

#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Scramble.h"
#include "engine/Split.h"
#include "engine/StrongDecryption.h"
#include "engine/StrongEncryption.h"
#include "engine/StrongKeys.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace veskard::test {

// Enciphers bytes in memory: split, scramble, and write one record.
inline std::vector<std::byte> encipher(const std::vector<std::byte>& plain,
                                       std::u16string_view password, engine::RandomSource& random) {
    const engine::MemoryInput source(plain);
    const auto plan = engine::split(plain.size(), random);
    const auto codes = engine::encodePassword(password);
    if (!plan || !codes)
        throw std::runtime_error("cannot encipher");
    const std::vector<engine::Piece> pieces = plan->plainPieces();
    engine::ScrambleResult scrambled = engine::scramble(pieces, random, {});
    engine::CryptRecord record{std::move(scrambled.stored), *codes, std::move(scrambled.order), 0};
    engine::MemoryOutput output;
    if (engine::writeRecord(output, record, source))
        throw std::runtime_error("cannot write record");
    return output.bytes();
}

// The plain bytes of an enciphered file; none when it holds no record.
inline std::vector<std::byte> decipher(const std::vector<std::byte>& enciphered) {
    const engine::MemoryInput input(enciphered);
    const auto record = engine::readRecord(input);
    engine::MemoryOutput output;
    if (!record || engine::writePlainPieces(output, *record, input))
        return {};
    return output.bytes();
}

// Locks bytes strongly in memory, at the cheapest cost so that tests and
// fuzzers run fast; the costs are in the header, so every reader uses them.
inline std::vector<std::byte> encipherStrong(const std::vector<std::byte>& plain,
                                             std::u16string_view password,
                                             std::uint32_t chunkSize = engine::DefaultChunkSize,
                                             const engine::Salt& salt = {}) {
    const engine::KeyCost cost = engine::KeyCost::cheapest();
    auto keys = engine::StrongKeys::derive(password, cost, salt);
    if (!keys)
        throw std::runtime_error("cannot derive the keys");
    auto encryption = engine::StrongEncryption::start(*keys, cost, salt, plain.size(), chunkSize);
    if (!encryption)
        throw std::runtime_error("cannot start the stream");
    std::vector<std::byte> locked(encryption->size());
    if (encryption->fill(engine::MemoryInput(plain), 0, locked))
        throw std::runtime_error("cannot encrypt");
    return locked;
}

// What a reader that knows the password makes of a strong lock.
inline Result<std::vector<std::byte>> decipherStrong(const std::vector<std::byte>& locked,
                                                     std::u16string_view password) {
    const engine::MemoryInput input(locked);
    const Result<engine::StrongHeader> header = engine::readStrongHeader(input);
    if (!header)
        return header.error();
    const Result<engine::StrongKeys> keys =
        engine::StrongKeys::derive(password, header->cost, header->salt);
    if (!keys)
        return keys.error();
    Result<engine::StrongDecryption> decryption =
        engine::StrongDecryption::start(*keys, *header, locked.size());
    if (!decryption)
        return decryption.error();
    std::vector<std::byte> plain(decryption->plainSize());
    if (const std::error_code error = decryption->fill(input, 0, plain))
        return error;
    return plain;
}

} // namespace veskard::test
