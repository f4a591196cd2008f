#include "engine/Verification.h"
#include "engine/EngineError.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace veskard::engine;

namespace {

// A disk that keeps something other than what it was given: one bit of the
// byte at `at` flips on its way.
class CorruptingOutput final : public ByteOutput {
public:
    CorruptingOutput(ByteOutput& target, std::uint64_t at)
        : target_(target)
        , at_(at) {}
    std::error_code write(std::span<const std::byte> bytes) override {
        std::vector<std::byte> copy(bytes.begin(), bytes.end());
        if (at_ >= passed_ && at_ - passed_ < copy.size())
            copy[at_ - passed_] ^= std::byte{0x10};
        passed_ += copy.size();
        return target_.write(copy);
    }

private:
    ByteOutput& target_;
    std::uint64_t at_;
    std::uint64_t passed_ = 0;
};

std::error_code writeAndVerify(const std::vector<std::byte>& content, std::uint64_t corruptAt,
                               std::size_t keep) {
    MemoryOutput disk;
    CorruptingOutput corrupting(disk, corruptAt);
    VerifyingOutput verifying(corrupting);
    for (std::size_t at = 0; at < content.size(); at += 1000)
        EXPECT_FALSE(verifying.write(
            std::span(content).subspan(at, std::min<std::size_t>(1000, content.size() - at))));
    veskard::test::RecordingEvents events;
    ProgressMeter meter(events, content.size(), {});
    std::vector<std::byte> buffer(4096);
    const std::vector<std::byte> kept(disk.bytes().begin(), disk.bytes().begin() + keep);
    return verifying.verify(MemoryInput(kept), buffer, meter);
}

} // namespace

TEST(Verification, WhatIsReadBackMustBeExactlyWhatWasWritten) {
    const std::vector<std::byte> content = veskard::test::patternBytes(100000);
    const std::uint64_t nowhere = content.size();
    EXPECT_FALSE(writeAndVerify(content, nowhere, content.size()));
    for (const std::uint64_t at : {0u, 4095u, 77777u, 99999u})
        EXPECT_EQ(writeAndVerify(content, at, content.size()), EngineError::VerificationFailed)
            << at;
    EXPECT_EQ(writeAndVerify(content, nowhere, content.size() - 1),
              EngineError::VerificationFailed);
}
