#include "engine/EngineError.h"
#include "engine/SliceStream.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::engine;

namespace {

// Three and a half slices: even and odd ones, and a short last one.
const std::vector<std::byte> Content = veskard::test::patternBytes(7 * SliceSize / 2);
constexpr std::uint64_t Nowhere = UINT64_MAX;

struct Disk {
    veskard::Result<Fingerprint> made;
    std::vector<std::byte> kept;
};

// Streams Content to a disk that keeps something other than what it was
// given: one bit of the byte at `corruptAt` flips on its way. Filling the
// slice at `failAt` fails.
Disk write(int fillers, std::uint64_t corruptAt = Nowhere, std::uint64_t failAt = Nowhere) {
    const MemoryInput input(Content);
    SliceRoom room(fillers);
    Disk disk{Fingerprint{}, {}};
    disk.made = streamSlices(
        Content.size(),
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            if (offset == failAt)
                return std::make_error_code(std::errc::io_error);
            return input.readExactly(offset, slice);
        },
        [&](std::span<const std::byte> slice) {
            const std::uint64_t start = disk.kept.size();
            disk.kept.insert(disk.kept.end(), slice.begin(), slice.end());
            if (corruptAt >= start && corruptAt < disk.kept.size())
                disk.kept[corruptAt] ^= std::byte{0x10};
            return std::error_code{};
        },
        room);
    return disk;
}

std::error_code verify(const Disk& disk) {
    veskard::test::RecordingEvents events;
    ProgressMeter meter(events, disk.kept.size(), {});
    SliceRoom room(SliceRoom::MostFillers);
    return verifyReadBack(MemoryInput(disk.kept), *disk.made, room, meter);
}

} // namespace

TEST(Verification, SlicesArriveInOrderAndHashTheSameHoweverManyThreadsFillThem) {
    const Disk alone = write(0);
    ASSERT_TRUE(alone.made);
    for (const int fillers : {0, 1, 2}) {
        const Disk disk = write(fillers);
        ASSERT_TRUE(disk.made) << fillers;
        EXPECT_EQ(disk.kept, Content) << fillers;
        EXPECT_EQ(*disk.made, *alone.made) << fillers;
        EXPECT_FALSE(verify(disk)) << fillers;
    }
}

TEST(Verification, WhatIsReadBackMustBeExactlyWhatWasWritten) {
    for (const std::uint64_t at : {std::size_t{0}, SliceSize - 1, SliceSize, Content.size() - 1})
        EXPECT_EQ(verify(write(2, at)), EngineError::VerificationFailed) << at;
    Disk shorter = write(2);
    shorter.kept.pop_back();
    EXPECT_EQ(verify(shorter), EngineError::VerificationFailed);
    Disk longer = write(2);
    longer.kept.push_back(std::byte{0});
    EXPECT_EQ(verify(longer), EngineError::VerificationFailed);
    // Slices in each other's places, even two that one thread hashes.
    Disk swapped = write(2);
    std::swap_ranges(swapped.kept.begin(), swapped.kept.begin() + SliceSize,
                     swapped.kept.begin() + 2 * SliceSize);
    EXPECT_EQ(verify(swapped), EngineError::VerificationFailed);
}

TEST(Verification, AFailedFillEndsTheStreamWithItsError) {
    for (const int fillers : {0, 2}) {
        const Disk failed = write(fillers, Nowhere, 2 * SliceSize);
        EXPECT_EQ(failed.made.error(), std::errc::io_error) << fillers;
        EXPECT_EQ(failed.kept.size(), 2 * SliceSize) << fillers;
    }
}
