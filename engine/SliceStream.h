#pragma once

#include "engine/ByteStreams.h"
#include "engine/ProgressMeter.h"
#include "platform/Result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <system_error>
#include <vector>

namespace veskard::engine {

// Content streams in slices of this size, at offsets that are multiples of it:
// large enough for full-speed I/O, small enough to keep memory flat whatever
// the file's size.
inline constexpr std::size_t SliceSize = std::size_t{1} << 20;

// What a run of bytes hashes to: the XXH3 hash of its even slices, that of its
// odd slices, and its length. Runs with equal fingerprints hold the same bytes
// (but for a chance of about one in 2^64). Two hashes, so that two threads can
// hash one run at once, each the slices of one parity.
struct Fingerprint {
    std::array<std::uint64_t, 2> hashes{};
    std::uint64_t size = 0;
    bool operator==(const Fingerprint&) const = default;
};

// Fills `slice` with the run's bytes from `offset` on.
using SliceFill = std::function<std::error_code(std::uint64_t offset, std::span<std::byte> slice)>;
// Does something with the next slice: writes it, counts it.
using SliceUse = std::function<std::error_code(std::span<const std::byte> slice)>;

// Threads that fill slices ahead of their use, at most one per hash of a
// Fingerprint, and the room for the slices they hold at once: two each, one
// filled while the other is used (with no threads, one, filled by the
// caller). Made once, it serves one stream after another.
class SliceRoom {
public:
    static constexpr int MostFillers = 2;
    // `fillers` beyond 0..MostFillers counts as the nearest of those.
    explicit SliceRoom(int fillers);

    int fillers() const { return fillers_; }
    std::size_t slots() const { return slots_.size(); }
    std::byte* slot(std::size_t index) { return slots_[index].get(); }

private:
    int fillers_;
    std::vector<std::unique_ptr<std::byte[]>> slots_;
};

// Makes a run of `size` bytes slice by slice with `fill` and hands each slice
// to `use`, in order and on the calling thread, and returns what the run
// hashes to; the first error of either, on whichever thread, ends it. The
// room's threads fill and hash the slices ahead of `use`, so that reading one
// slice overlaps with writing the one before; `fill` must then be safe to
// call from several threads at once. Every thread has ended when it returns.
Result<Fingerprint> streamSlices(std::uint64_t size, const SliceFill& fill, const SliceUse& use,
                                 SliceRoom& room);

// Reads all of `written` with the room's help, counting each slice on
// `meter` (which may stop it); VerificationFailed unless it holds exactly
// the bytes that hashed to `expected`, no more and no fewer.
std::error_code verifyReadBack(const ByteInput& written, const Fingerprint& expected,
                               SliceRoom& room, ProgressMeter& meter);

} // namespace veskard::engine
