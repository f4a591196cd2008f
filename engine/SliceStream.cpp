#include "engine/SliceStream.h"

#include "engine/EngineError.h"
#include "engine/Xxh3.h"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace veskard::engine {
namespace {

// The slices of one run, each filled and hashed by the thread whose turn it
// is, into a slot that is filled again only once the caller is done with the
// slice it held. Slice k is hashed into hashes_[k % 2] by the one thread that
// fills every slice of its parity, in order (or by the only one there is), so
// that no hash is ever updated by two threads. The caller reads a slot, and
// in the end the hashes, only after taking the mutex under which the filler
// said it was done with them.
class SliceStream {
public:
    SliceStream(std::uint64_t size, const SliceFill& fill, SliceRoom& room);
    ~SliceStream();
    SliceStream(const SliceStream&) = delete;
    SliceStream& operator=(const SliceStream&) = delete;

    Result<Fingerprint> run(const SliceUse& use);

private:
    static constexpr std::uint64_t NoSlice = std::numeric_limits<std::uint64_t>::max();

    struct Slot {
        std::uint64_t slice = NoSlice; // the slice it holds, once filled
        std::error_code error;         // what filling it met
    };

    std::size_t slotOf(std::uint64_t slice) const {
        return static_cast<std::size_t>(slice % slots_.size());
    }
    std::span<std::byte> bytesOf(std::uint64_t slice);
    std::error_code fillAndHash(std::uint64_t slice);
    void fillEvery(std::uint64_t first, std::uint64_t step);
    void stopFillers();

    const std::uint64_t size_;
    const std::uint64_t count_;
    const SliceFill& fill_;
    SliceRoom& room_;
    std::array<xxh3::Hash, SliceRoom::MostFillers> hashes_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable filled_; // the caller waits for a slice
    std::condition_variable freed_;  // the fillers wait for a slot
    std::uint64_t used_ = 0;         // slices the caller is done with
    bool started_ = false;           // every filler exists: they may begin
    bool stopping_ = false;
    std::vector<std::thread> fillers_;
};

SliceStream::SliceStream(std::uint64_t size, const SliceFill& fill, SliceRoom& room)
    : size_(size)
    , count_((size + SliceSize - 1) / SliceSize)
    , fill_(fill)
    , room_(room)
    , slots_(room.slots()) {
    // One slice needs no help; the room has at most one filler per hash.
    const std::uint64_t threads =
        count_ > 1 ? std::min<std::uint64_t>(static_cast<std::uint64_t>(room.fillers()), count_)
                   : 0;
    fillers_.reserve(threads);
    try {
        for (std::uint64_t first = 0; first < threads; ++first)
            fillers_.emplace_back([this, first, threads] { fillEvery(first, threads); });
    } catch (const std::system_error&) {
        // No more threads to be had: the calling thread fills every slice,
        // and those made so far end without filling any.
        stopFillers();
    }
    // Only now may the fillers begin: until then, they might yet have had to
    // leave every slice to the caller.
    {
        const std::lock_guard lock(mutex_);
        started_ = true;
    }
    freed_.notify_all();
}

SliceStream::~SliceStream() {
    stopFillers();
}

void SliceStream::stopFillers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    freed_.notify_all();
    for (std::thread& filler : fillers_)
        filler.join();
    fillers_.clear();
}

std::span<std::byte> SliceStream::bytesOf(std::uint64_t slice) {
    return {room_.slot(slotOf(slice)), static_cast<std::size_t>(std::min<std::uint64_t>(
                                           SliceSize, size_ - slice * SliceSize))};
}

std::error_code SliceStream::fillAndHash(std::uint64_t slice) {
    const std::span<std::byte> bytes = bytesOf(slice);
    if (const std::error_code error = fill_(slice * SliceSize, bytes))
        return error;
    hashes_[slice % hashes_.size()].update(bytes);
    return {};
}

void SliceStream::fillEvery(std::uint64_t first, std::uint64_t step) {
    for (std::uint64_t slice = first; slice < count_; slice += step) {
        {
            std::unique_lock lock(mutex_);
            // The slot is free once the caller is done with the slice it held before.
            freed_.wait(lock,
                        [&] { return stopping_ || (started_ && slice < used_ + slots_.size()); });
            if (stopping_)
                return;
        }
        const std::error_code error = fillAndHash(slice);
        {
            const std::lock_guard lock(mutex_);
            slots_[slotOf(slice)] = {slice, error};
        }
        filled_.notify_one();
        if (error) // the caller ends the run when it reaches this slice
            return;
    }
}

Result<Fingerprint> SliceStream::run(const SliceUse& use) {
    for (std::uint64_t slice = 0; slice < count_; ++slice) {
        if (fillers_.empty()) {
            if (const std::error_code error = fillAndHash(slice))
                return error;
        } else {
            std::unique_lock lock(mutex_);
            filled_.wait(lock, [&] { return slots_[slotOf(slice)].slice == slice; });
            if (const std::error_code error = slots_[slotOf(slice)].error)
                return error;
        }
        if (const std::error_code error = use(bytesOf(slice)))
            return error;
        if (!fillers_.empty()) {
            {
                const std::lock_guard lock(mutex_);
                used_ = slice + 1;
            }
            freed_.notify_all();
        }
    }
    return Fingerprint{{hashes_[0].value(), hashes_[1].value()}, size_};
}

} // namespace

// Memory that no slice touches is never made resident, so small files cost
// no more for the full-size slots.
SliceRoom::SliceRoom(int fillers)
    : fillers_(std::clamp(fillers, 0, MostFillers)) {
    slots_.resize(static_cast<std::size_t>(std::max(2 * fillers_, 1)));
    for (std::unique_ptr<std::byte[]>& slot : slots_)
        slot = std::make_unique_for_overwrite<std::byte[]>(SliceSize);
}

Result<Fingerprint> streamSlices(std::uint64_t size, const SliceFill& fill, const SliceUse& use,
                                 SliceRoom& room) {
    SliceStream stream(size, fill, room);
    return stream.run(use);
}

std::error_code verifyReadBack(const ByteInput& written, const Fingerprint& expected,
                               SliceRoom& room, ProgressMeter& meter) {
    if (written.size() != expected.size)
        return EngineError::VerificationFailed;
    const Result<Fingerprint> actual = streamSlices(
        expected.size,
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            return written.readExactly(offset, slice);
        },
        [&](std::span<const std::byte> slice) { return meter.advance(slice.size()); }, room);
    if (!actual)
        return actual.error();
    if (*actual != expected)
        return EngineError::VerificationFailed;
    return {};
}

} // namespace veskard::engine
