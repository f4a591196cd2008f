#include "engine/ByteStreams.h"

#include "engine/EngineError.h"

#include <algorithm>

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

} // namespace veskard::engine
