#include "engine/Checksum.h"
#include "engine/EngineError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::engine;

namespace {

std::uint64_t checksumInChunks(const std::vector<std::byte>& bytes, std::size_t chunk) {
    Checksum checksum;
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        checksum.update(std::span(bytes).subspan(at, std::min(chunk, bytes.size() - at)));
    return checksum.value();
}

} // namespace

TEST(Checksum, DependsOnEveryByteAndTheLengthButNotOnHowTheBytesArrive) {
    const std::vector<std::byte> bytes = veskard::test::patternBytes(1000);
    const std::uint64_t whole = checksumInChunks(bytes, bytes.size());
    for (const std::size_t chunk : {1u, 7u, 31u, 32u, 33u, 999u})
        EXPECT_EQ(checksumInChunks(bytes, chunk), whole) << chunk;

    for (const std::size_t at : {0u, 31u, 500u, 999u}) {
        std::vector<std::byte> changed = bytes;
        changed[at] ^= std::byte{0x01};
        EXPECT_NE(checksumInChunks(changed, 64), whole) << at;
    }
    // Swapping two words must show too: lanes are not simply added up.
    std::vector<std::byte> swapped = bytes;
    std::swap_ranges(swapped.begin(), swapped.begin() + 8, swapped.begin() + 32);
    EXPECT_NE(checksumInChunks(swapped, 64), whole);

    std::vector<std::byte> longer = bytes;
    longer.push_back(std::byte{0});
    EXPECT_NE(checksumInChunks(longer, 64), whole);
}

TEST(Checksum, VerifyingContentComparesWithWhatWasWritten) {
    const std::vector<std::byte> bytes = veskard::test::patternBytes(100000);
    MemoryOutput sink;
    ChecksummingOutput output(sink);
    ASSERT_FALSE(output.write(bytes));
    std::vector<std::byte> buffer(4096);
    EXPECT_FALSE(verifyContent(MemoryInput(sink.bytes()), output.checksum(), buffer));

    std::vector<std::byte> damaged = sink.bytes();
    damaged[77777] ^= std::byte{0x80};
    EXPECT_EQ(verifyContent(MemoryInput(damaged), output.checksum(), buffer),
              EngineError::VerificationFailed);
    damaged = sink.bytes();
    damaged.pop_back();
    EXPECT_EQ(verifyContent(MemoryInput(damaged), output.checksum(), buffer),
              EngineError::VerificationFailed);
}
