#pragma once

#include "engine/ByteStreams.h"
#include "engine/CryptRecord.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <system_error>
#include <vector>

namespace veskard::engine {

// A new file's content as a list of parts: bytes made here (list headers,
// password codes, the order) and ranges of a source file. Any stretch of it
// can be made on its own, wherever it starts, so that another thread can make
// the next slice of it while the last one is written.
class ContentLayout {
public:
    void addBytes(std::span<const std::byte> bytes);
    void addSourceRange(Piece range);

    std::uint64_t size() const { return size_; }

    // Fills `slice` with the content from `offset` on, reading the source's
    // ranges from `source`; it changes nothing else.
    std::error_code fill(const ByteInput& source, std::uint64_t offset,
                         std::span<std::byte> slice) const;
    // Writes the whole content to `output`.
    std::error_code writeTo(ByteOutput& output, const ByteInput& source) const;

private:
    struct Part {
        std::uint64_t at = 0;   // where it starts in the content
        std::uint64_t from = 0; // where its bytes start, in the source or in bytes_
        std::uint64_t length = 0;
        bool fromSource = false;
    };
    std::vector<Part> parts_;
    std::vector<std::byte> bytes_;
    std::uint64_t size_ = 0;
};

} // namespace veskard::engine
