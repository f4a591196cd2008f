#include "engine/EngineError.h"
#include "engine/SliceStream.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::engine;

namespace {

// Three and a half slices: the last one short.
const std::vector<std::byte> Content = veskard::test::patternBytes(7 * SliceSize / 2);
constexpr std::uint64_t Nowhere = UINT64_MAX;

struct Disk {
    veskard::Result<Fingerprint> made;
    std::vector<std::byte> kept;
};

// Streams Content to a disk on which one bit of the byte at `corruptAt`
// flips; filling the slice at `failAt` fails.
Disk write(Filling filling, std::uint64_t corruptAt = Nowhere, std::uint64_t failAt = Nowhere) {
    const MemoryInput input(Content);
    Disk disk{Fingerprint{}, {}};
    disk.made = streamSlices(
        Content.size(),
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            return offset == failAt ? std::make_error_code(std::errc::io_error)
                                    : input.readExactly(offset, slice);
        },
        [&](std::span<const std::byte> slice) {
            disk.kept.insert(disk.kept.end(), slice.begin(), slice.end());
            if (corruptAt < disk.kept.size() && corruptAt + slice.size() >= disk.kept.size())
                disk.kept[corruptAt] ^= std::byte{0x10};
            return std::error_code{};
        },
        filling);
    return disk;
}

std::error_code verify(const Disk& disk) {
    veskard::test::RecordingEvents events;
    ProgressMeter meter(events, disk.kept.size(), {});
    return verifyReadBack(MemoryInput(disk.kept), *disk.made, meter);
}

TEST(Verification, WhatIsReadBackMustBeExactlyWhatWasWrittenWhoeverFillsTheSlices) {
    const Disk good = write(Filling::ByCaller);
    const Disk ahead = write(Filling::AheadOnAThread);
    EXPECT_EQ(ahead.kept, Content);
    EXPECT_EQ(*ahead.made, *good.made);
    EXPECT_FALSE(verify(good));
    for (const std::uint64_t at : {std::size_t{0}, SliceSize - 1, SliceSize, Content.size() - 1})
        EXPECT_EQ(verify(write(Filling::AheadOnAThread, at)), EngineError::VerificationFailed)
            << at;
    Disk swapped = good; // the same bytes, in another order
    std::swap_ranges(swapped.kept.begin(), swapped.kept.begin() + SliceSize,
                     swapped.kept.begin() + 2 * SliceSize);
    EXPECT_EQ(verify(swapped), EngineError::VerificationFailed);

    for (const Filling filling : {Filling::ByCaller, Filling::AheadOnAThread}) {
        const Disk failed = write(filling, Nowhere, 2 * SliceSize);
        EXPECT_EQ(failed.made.error(), std::errc::io_error);
        EXPECT_EQ(failed.kept.size(), 2 * SliceSize);
    }
}

} // namespace
