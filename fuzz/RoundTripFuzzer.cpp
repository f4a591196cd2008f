// Locks the input in memory and unlocks it again: split, scramble, write the
// record, read it back, restore. The restored bytes must be the input and the
// password's codes must survive unchanged.

#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Scramble.h"
#include "engine/Split.h"
#include "fuzz/SeededRandom.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using namespace veskard;
using namespace veskard::engine;

namespace {

[[noreturn]] void fail(std::string_view what) {
    std::fprintf(stderr, "RoundTripFuzzer: %.*s\n", static_cast<int>(what.size()), what.data());
    __builtin_trap();
}

// One to sixteen UTF-16 units taken from the start of the file, so that
// double-byte, unencodable and lone surrogate units all turn up.
std::u16string passwordFrom(const std::vector<std::byte>& plain) {
    const std::size_t length = 1 + static_cast<std::size_t>(plain[0]) % 16;
    std::u16string password;
    for (std::size_t i = 0; i < length; ++i)
        password.push_back(static_cast<char16_t>(static_cast<unsigned>(plain[1 + 2 * i]) |
                                                 static_cast<unsigned>(plain[2 + 2 * i]) << 8));
    return password;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> input(reinterpret_cast<const std::byte*>(data), size);
    // Files this small are never locked; padding them keeps every input useful.
    std::vector<std::byte> plain(input.begin(), input.end());
    if (plain.size() <= LargestRefusedSize)
        plain.resize(LargestRefusedSize + 1);
    const std::u16string password = passwordFrom(plain);
    fuzz::SeededRandom random(fuzz::hashBytes(input));

    const MemoryInput source(plain);
    const Result<SplitPlan> plan = split(plain.size(), random);
    const Result<std::vector<std::string>> codes = encodePassword(password);
    if (!plan || !codes)
        fail("cannot split the input or code the password");
    const std::vector<Piece> pieces = plan->plainPieces();
    ScrambleResult scrambled = scramble(pieces, random, {});
    const CryptRecord written{std::move(scrambled.stored), *codes, std::move(scrambled.order), 0};

    MemoryOutput locked;
    if (writeRecord(locked, written, source))
        fail("cannot write the record");
    if (locked.bytes().size() != recordSize(written))
        fail("the written record's size is not recordSize()");

    const MemoryInput lockedInput(locked.bytes());
    const Result<CryptRecord> read = readRecord(lockedInput);
    if (!read)
        fail("a record just written is refused");
    if (read->Pieces.size() != written.Pieces.size() || read->Order != written.Order)
        fail("the pieces or their order changed on the way through the record");
    if (read->PassCodes != written.PassCodes)
        fail("the pass codes changed on the way through the record");
    if (decodePassword(read->PassCodes) != decodePassword(*codes))
        fail("the password read back differs from the one written");

    MemoryOutput restored;
    if (writePlainPieces(restored, *read, lockedInput))
        fail("cannot restore the plain bytes");
    if (restored.bytes() != plain)
        fail("the restored bytes differ from the input");
    return 0;
}
