#pragma once

#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Scramble.h"
#include "engine/Split.h"

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

} // namespace veskard::test
