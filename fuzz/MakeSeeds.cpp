// Writes the fuzzers' starting corpus, so that they begin from inputs that go
// all the way through instead of stopping at the first header:
//   CORPUS/reader     valid records of several sizes and passwords
//   CORPUS/roundtrip  plain files around the split's boundaries
// Usage: MakeSeeds CORPUS

#include "engine/ByteStreams.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Scramble.h"
#include "engine/Split.h"
#include "fuzz/SeededRandom.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

using namespace veskard;
using namespace veskard::engine;

namespace {

std::vector<std::byte> patternBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::byte> bytes(size);
    for (std::byte& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::byte>(seed >> 24);
    }
    return bytes;
}

Result<std::vector<std::byte>> lockedRecord(const std::vector<std::byte>& plain,
                                            std::u16string_view password) {
    fuzz::SeededRandom random(static_cast<std::uint32_t>(plain.size()));
    const Result<SplitPlan> plan = split(plain.size(), random);
    if (!plan)
        return plan.error();
    const Result<std::vector<std::string>> codes = encodePassword(password);
    if (!codes)
        return codes.error();
    const std::vector<Piece> pieces = plan->plainPieces();
    ScrambleResult scrambled = scramble(pieces, random, {});
    const CryptRecord record{std::move(scrambled.stored), *codes, std::move(scrambled.order), 0};
    MemoryOutput output;
    if (const std::error_code error = writeRecord(output, record, MemoryInput(plain)))
        return error;
    return output.bytes();
}

bool save(const std::filesystem::path& path, const std::vector<std::byte>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        std::fprintf(stderr, "MakeSeeds: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeSeeds CORPUS\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    std::error_code error;
    std::filesystem::create_directories(corpus / "reader", error);
    std::filesystem::create_directories(corpus / "roundtrip", error);
    if (error) {
        std::fprintf(stderr, "MakeSeeds: %s\n", error.message().c_str());
        return 1;
    }

    // Single-byte pieces below 1024 bytes, drawn piece counts from there on;
    // ASCII, double-byte, unencodable and lone surrogate password units.
    const std::size_t sizes[] = {101, 150, 1023, 1024, 1100, 1101, 3000};
    const std::u16string passwords[] = {u"x", u"中文 pass", u"\u20AC\u00E9", u"a\xD800\U0001F600"};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::vector<std::byte> plain = patternBytes(sizes[i], static_cast<std::uint32_t>(i));
        const Result<std::vector<std::byte>> record =
            lockedRecord(plain, passwords[i % std::size(passwords)]);
        if (!record) {
            std::fprintf(stderr, "MakeSeeds: %s\n", record.error().message().c_str());
            return 1;
        }
        const std::string name = "record-" + std::to_string(sizes[i]);
        if (!save(corpus / "reader" / name, *record) ||
            !save(corpus / "roundtrip" / ("plain-" + std::to_string(sizes[i])), plain))
            return 1;
    }
    return 0;
}
