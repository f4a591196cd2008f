#include "engine/ByteStreams.h"

#include "engine/EngineError.h"

#include <algorithm>
#include <cstring>

namespace veskard::engine {

std::error_code MemoryInput::readExactly(std::uint64_t offset, std::span<std::byte> buffer) const {
    if (offset > bytes_.size() || buffer.size() > bytes_.size() - offset)
        return EngineError::UnexpectedEnd;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), buffer.size(),
                buffer.begin());
    return {};
}

std::error_code MemoryOutput::write(std::span<const std::byte> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return {};
}

Result<FileInput> FileInput::open(const platform::File& file) {
    const Result<std::uint64_t> size = file.size();
    if (!size)
        return size.error();
    return FileInput(file, *size);
}

std::error_code FileInput::readExactly(std::uint64_t offset, std::span<std::byte> buffer) const {
    const Result<std::size_t> read = file_->readAt(offset, buffer);
    if (!read)
        return read.error();
    if (*read != buffer.size())
        return EngineError::UnexpectedEnd;
    return {};
}

BufferedOutput::BufferedOutput(ByteOutput& target, std::size_t capacity)
    : target_(target)
    , buffer_(capacity) {}

std::error_code BufferedOutput::write(std::span<const std::byte> bytes) {
    if (bytes.size() > buffer_.size() - used_) {
        if (const std::error_code error = flush())
            return error;
        if (bytes.size() >= buffer_.size())
            return target_.write(bytes);
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return {};
}

std::error_code BufferedOutput::flush() {
    if (used_ == 0)
        return {};
    const std::error_code error = target_.write(std::span(buffer_).first(used_));
    used_ = 0;
    return error;
}

std::error_code copyRange(const ByteInput& input, Piece range, ByteOutput& output,
                          std::span<std::byte> buffer) {
    while (range.length > 0) {
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(range.length, buffer.size()));
        const std::span<std::byte> part = buffer.first(chunk);
        if (const std::error_code error = input.readExactly(range.offset, part))
            return error;
        if (const std::error_code error = output.write(part))
            return error;
        range.offset += chunk;
        range.length -= chunk;
    }
    return {};
}

} // namespace veskard::engine
