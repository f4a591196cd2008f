#pragma once

#include "engine/CryptRecord.h"
#include "platform/File.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veskard::engine {

// Random-access source of bytes: a plain file being locked, or an enciphered one.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    virtual std::uint64_t size() const = 0;
    // Fills the whole buffer from offset, or fails (a short read is UnexpectedEnd).
    virtual std::error_code readExactly(std::uint64_t offset,
                                        std::span<std::byte> buffer) const = 0;
};

// Sequential sink of bytes.
class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    virtual std::error_code write(std::span<const std::byte> bytes) = 0;
};

class MemoryInput final : public ByteInput {
public:
    explicit MemoryInput(std::span<const std::byte> bytes)
        : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::error_code readExactly(std::uint64_t offset, std::span<std::byte> buffer) const override;

private:
    std::span<const std::byte> bytes_;
};

class MemoryOutput final : public ByteOutput {
public:
    std::error_code write(std::span<const std::byte> bytes) override;
    const std::vector<std::byte>& bytes() const { return bytes_; }

private:
    std::vector<std::byte> bytes_;
};

// Reads an open file whose size was taken once, when it was opened.
class FileInput final : public ByteInput {
public:
    static Result<FileInput> open(const platform::File& file);
    std::uint64_t size() const override { return size_; }
    std::error_code readExactly(std::uint64_t offset, std::span<std::byte> buffer) const override;

private:
    FileInput(const platform::File& file, std::uint64_t size)
        : file_(&file)
        , size_(size) {}
    const platform::File* file_;
    std::uint64_t size_;
};

class FileOutput final : public ByteOutput {
public:
    explicit FileOutput(platform::File& file)
        : file_(file) {}
    std::error_code write(std::span<const std::byte> bytes) override {
        return file_.writeAll(bytes);
    }

private:
    platform::File& file_;
};

// Gathers small writes (list headers, one-byte pieces) into large ones.
// Large writes pass straight through once the buffer is flushed.
class BufferedOutput final : public ByteOutput {
public:
    BufferedOutput(ByteOutput& target, std::size_t capacity);
    std::error_code write(std::span<const std::byte> bytes) override;
    std::error_code flush();

private:
    ByteOutput& target_;
    std::vector<std::byte> buffer_;
    std::size_t used_ = 0;
};

// Size of the copy buffer: large enough for full-speed sequential I/O, small
// enough to keep memory flat whatever the file's size.
inline constexpr std::size_t CopyBufferSize = std::size_t{1} << 20;

// Copies the bytes of `range` from `input` to `output` through `buffer`.
std::error_code copyRange(const ByteInput& input, Piece range, ByteOutput& output,
                          std::span<std::byte> buffer);

} // namespace veskard::engine
