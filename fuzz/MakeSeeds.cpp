// Writes the fuzzers' starting corpus, so that they begin from inputs that go
// all the way through instead of stopping at the first header:
//   CORPUS/reader     valid records of several sizes and passwords
//   CORPUS/roundtrip  plain files around the split's boundaries
//   CORPUS/strong     strong locks around their chunks' edges, taken as they
//                     are (a first byte of 0) and signed again (1)
// Usage: MakeSeeds CORPUS

#include "fuzz/SeededRandom.h"
#include "fuzz/StrongFuzzing.h"
#include "support/Encipher.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeSeeds CORPUS\n");
        return 2;
    }
    // Single-byte pieces below 1024 bytes, drawn piece counts from there on;
    // ASCII, double-byte, unencodable and lone surrogate password units.
    const std::size_t sizes[] = {101, 150, 1023, 1024, 1100, 1101, 3000};
    const std::u16string passwords[] = {u"x", u"中文 pass", u"\u20AC\u00E9", u"a\xD800\U0001F600"};
    try {
        const std::filesystem::path corpus = argv[1];
        std::filesystem::create_directories(corpus / "reader");
        std::filesystem::create_directories(corpus / "roundtrip");
        std::filesystem::create_directories(corpus / "strong");
        for (std::size_t i = 0; i < std::size(sizes); ++i) {
            const std::vector<std::byte> plain =
                veskard::test::patternBytes(sizes[i], static_cast<unsigned>(i));
            veskard::fuzz::SeededRandom random(static_cast<std::uint32_t>(sizes[i]));
            const std::string size = std::to_string(sizes[i]);
            veskard::test::writeFile(
                corpus / "reader" / ("record-" + size),
                veskard::test::encipher(plain, passwords[i % std::size(passwords)], random));
            veskard::test::writeFile(corpus / "roundtrip" / ("plain-" + size), plain);
        }
        using veskard::fuzz::StrongSeedChunkSize;
        for (const std::size_t size :
             {std::size_t{0}, std::size_t{1}, std::size_t{StrongSeedChunkSize},
              std::size_t{StrongSeedChunkSize + 1}, std::size_t{300}}) {
            const std::vector<std::byte> locked =
                veskard::test::encipherStrong(veskard::test::patternBytes(size, 9),
                                              veskard::fuzz::StrongPassword, StrongSeedChunkSize);
            for (const int mode : {0, 1}) {
                std::vector<std::byte> seed{static_cast<std::byte>(mode)};
                seed.insert(seed.end(), locked.begin(), locked.end());
                const std::string name =
                    "strong-" + std::to_string(size) + "-" + std::to_string(mode);
                veskard::test::writeFile(corpus / "strong" / name, seed);
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "MakeSeeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
