#pragma once

#include "engine/ByteStreams.h"
#include "engine/ProgressMeter.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <system_error>

namespace veskard::engine {

// Content streams in slices of this size, at offsets that are multiples of it:
// large enough for full-speed I/O, small enough to keep memory flat whatever
// the file's size.
inline constexpr std::size_t SliceSize = std::size_t{1} << 20;

// What a run of bytes hashes to: its XXH3 hash and its length. Runs with
// equal fingerprints hold the same bytes (but for a chance of about one in
// 2^64).
struct Fingerprint {
    std::uint64_t hash = 0;
    std::uint64_t size = 0;
    bool operator==(const Fingerprint&) const = default;
};

// Fills `slice` with the run's bytes from `offset` on.
using SliceFill = std::function<std::error_code(std::uint64_t offset, std::span<std::byte> slice)>;
// Does something with the next slice: writes it, counts it.
using SliceUse = std::function<std::error_code(std::span<const std::byte> slice)>;

// Who fills the slices: the calling thread, one after the other with their
// use, or a thread of the stream's own, which fills and hashes the next slice
// while the caller uses the one before (where no thread can be had, the
// caller fills them all the same).
enum class Filling { ByCaller, AheadOnAThread };

// Makes a run of `size` bytes slice by slice with `fill` and hands each slice
// to `use`, in order and on the calling thread, and returns what the run
// hashes to. An empty run is one empty slice. The first error of either ends
// it; a stop is `use`'s to report.
// Any thread of its own has ended when it returns. At most two slices are
// held at once.
Result<Fingerprint> streamSlices(std::uint64_t size, const SliceFill& fill, const SliceUse& use,
                                 Filling filling);

// Reads all of `written`, counting each slice on `meter` (which may stop it);
// VerificationFailed unless it holds exactly the bytes that hashed to
// `expected`, no more and no fewer.
std::error_code verifyReadBack(const ByteInput& written, const Fingerprint& expected,
                               ProgressMeter& meter);

} // namespace veskard::engine
