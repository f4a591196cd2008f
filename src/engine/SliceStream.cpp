#include "engine/SliceStream.h"

#include "engine/EngineError.h"
#include "engine/Xxh3.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace veskard::engine {
namespace {

// The slices of one run, in slots that are filled again only once the caller
// is done with the slice they held. With a filler thread, it alone fills and
// hashes, and the caller reads a slot, and in the end the hash, only after
// taking the mutex under which the filler said it was done with them.
class SliceStream {
public:
    SliceStream(std::uint64_t size, const SliceFill& fill, Filling filling);
    ~SliceStream();
    SliceStream(const SliceStream&) = delete;
    SliceStream& operator=(const SliceStream&) = delete;

    Result<Fingerprint> run(const SliceUse& use);

private:
    static constexpr std::uint64_t NoSlice = std::numeric_limits<std::uint64_t>::max();

    struct Slot {
        std::unique_ptr<std::byte[]> bytes = std::make_unique_for_overwrite<std::byte[]>(SliceSize);
        std::uint64_t slice = NoSlice; // the slice it holds, once filled
        std::error_code error;         // what filling it met
    };

    Slot& slotOf(std::uint64_t slice) { return slots_[slice % slots_.size()]; }
    std::span<std::byte> bytesOf(std::uint64_t slice);
    std::error_code fillAndHash(std::uint64_t slice);
    void fillAll();
    bool helped() const { return filler_.joinable(); }

    const std::uint64_t size_;
    const std::uint64_t count_;
    const SliceFill& fill_;
    xxh3::Hash hash_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable filled_; // the caller waits for a slice
    std::condition_variable freed_;  // the filler waits for a slot
    std::uint64_t used_ = 0;         // slices the caller is done with
    bool stopping_ = false;
    std::thread filler_;
};

SliceStream::SliceStream(std::uint64_t size, const SliceFill& fill, Filling filling)
    : size_(size)
    // An empty run is one empty slice: whoever makes the bytes in sequence
    // learns that it has reached the end.
    , count_(size == 0 ? 1 : (size + SliceSize - 1) / SliceSize)
    , fill_(fill) {
    // One slice needs no help; with help, one slot is filled while the other is used.
    const bool help = filling == Filling::AheadOnAThread && count_ > 1;
    slots_.resize(help ? 2 : 1);
    if (help) {
        try {
            filler_ = std::thread([this] { fillAll(); });
        } catch (const std::system_error&) {
            // No thread to be had: the caller fills every slice.
        }
    }
}

SliceStream::~SliceStream() {
    if (!helped())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    freed_.notify_one();
    filler_.join();
}

std::span<std::byte> SliceStream::bytesOf(std::uint64_t slice) {
    return {slotOf(slice).bytes.get(), static_cast<std::size_t>(std::min<std::uint64_t>(
                                           SliceSize, size_ - slice * SliceSize))};
}

std::error_code SliceStream::fillAndHash(std::uint64_t slice) {
    const std::span<std::byte> bytes = bytesOf(slice);
    if (const std::error_code error = fill_(slice * SliceSize, bytes))
        return error;
    hash_.update(bytes);
    return {};
}

void SliceStream::fillAll() {
    for (std::uint64_t slice = 0; slice < count_; ++slice) {
        {
            std::unique_lock lock(mutex_);
            // The slot is free once the caller is done with the slice it held before.
            freed_.wait(lock, [&] { return stopping_ || slice < used_ + slots_.size(); });
            if (stopping_)
                return;
        }
        const std::error_code error = fillAndHash(slice);
        {
            const std::lock_guard lock(mutex_);
            slotOf(slice).slice = slice;
            slotOf(slice).error = error;
        }
        filled_.notify_one();
        if (error) // the caller ends the run when it reaches this slice
            return;
    }
}

Result<Fingerprint> SliceStream::run(const SliceUse& use) {
    for (std::uint64_t slice = 0; slice < count_; ++slice) {
        if (!helped()) {
            if (const std::error_code error = fillAndHash(slice))
                return error;
        } else {
            std::unique_lock lock(mutex_);
            filled_.wait(lock, [&] { return slotOf(slice).slice == slice; });
            if (const std::error_code error = slotOf(slice).error)
                return error;
        }
        if (const std::error_code error = use(bytesOf(slice)))
            return error;
        if (helped()) {
            {
                const std::lock_guard lock(mutex_);
                used_ = slice + 1;
            }
            freed_.notify_one();
        }
    }
    // With a filler, the wait for the last slice ordered its hashing before this.
    return Fingerprint{hash_.value(), size_};
}

} // namespace

Result<Fingerprint> streamSlices(std::uint64_t size, const SliceFill& fill, const SliceUse& use,
                                 Filling filling) {
    SliceStream stream(size, fill, filling);
    return stream.run(use);
}

std::error_code verifyReadBack(const ByteInput& written, const Fingerprint& expected,
                               ProgressMeter& meter) {
    if (written.size() != expected.size)
        return EngineError::VerificationFailed;
    const Result<Fingerprint> actual = streamSlices(
        expected.size,
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            return written.readExactly(offset, slice);
        },
        [&](std::span<const std::byte> slice) { return meter.advance(slice.size()); },
        Filling::ByCaller);
    if (!actual)
        return actual.error();
    if (*actual != expected)
        return EngineError::VerificationFailed;
    return {};
}

} // namespace veskard::engine
