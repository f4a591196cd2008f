#pragma once

#include "platform/File.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veskard::engine {

// Random-access source of bytes: a plain file being locked, or an enciphered
// one. Several threads may read it at once.
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

// Reads an open file whose size was taken once: by open(), or by the caller
// that already has it from the file's state.
class FileInput final : public ByteInput {
public:
    static Result<FileInput> open(const platform::File& file);
    FileInput(const platform::File& file, std::uint64_t size)
        : file_(&file)
        , size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::error_code readExactly(std::uint64_t offset, std::span<std::byte> buffer) const override;

private:
    const platform::File* file_;
    std::uint64_t size_;
};

} // namespace veskard::engine
