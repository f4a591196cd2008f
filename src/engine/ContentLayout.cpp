#include "engine/ContentLayout.h"

#include "engine/EngineError.h"
#include "engine/SliceStream.h"

#include <algorithm>

namespace veskard::engine {

void ContentLayout::addBytes(std::span<const std::byte> bytes) {
    if (bytes.empty())
        return;
    if (parts_.empty() || parts_.back().fromSource)
        parts_.push_back({size_, bytes_.size(), 0, false});
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    parts_.back().length += bytes.size();
    size_ += bytes.size();
}

void ContentLayout::addSourceRange(Piece range) {
    if (range.length == 0)
        return;
    if (!parts_.empty() && parts_.back().fromSource &&
        parts_.back().from + parts_.back().length == range.offset)
        parts_.back().length += range.length;
    else
        parts_.push_back({size_, range.offset, range.length, true});
    size_ += range.length;
}

std::error_code ContentLayout::fill(const ByteInput& source, std::uint64_t offset,
                                    std::span<std::byte> slice) const {
    if (offset > size_ || slice.size() > size_ - offset)
        return EngineError::UnexpectedEnd;
    if (slice.empty())
        return {};
    // The last part that starts at or before `offset` holds it.
    auto part = std::upper_bound(parts_.begin(), parts_.end(), offset,
                                 [](std::uint64_t at, const Part& next) { return at < next.at; });
    for (--part; !slice.empty(); ++part) {
        const std::uint64_t skipped = offset - part->at;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(part->length - skipped, slice.size()));
        const std::span<std::byte> here = slice.first(length);
        if (part->fromSource) {
            if (const std::error_code error = source.readExactly(part->from + skipped, here))
                return error;
        } else {
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(part->from + skipped), length,
                        here.begin());
        }
        slice = slice.subspan(length);
        offset += length;
    }
    return {};
}

std::error_code ContentLayout::writeTo(ByteOutput& output, const ByteInput& source) const {
    return streamSlices(
               size_,
               [&](std::uint64_t offset, std::span<std::byte> slice) {
                   return fill(source, offset, slice);
               },
               [&](std::span<const std::byte> slice) { return output.write(slice); },
               Filling::ByCaller)
        .error();
}

} // namespace veskard::engine
