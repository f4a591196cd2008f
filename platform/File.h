#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace veskard::platform {

// An open file of raw bytes. Closes itself; move-only.
class File {
public:
    // Opens an existing file for reading, sharing it only with other readers.
    // Fails with PlatformError::HeldByAnotherProgram while another program
    // holds it for writing or exclusively.
    static Result<File> openForReading(const std::filesystem::path& path);
    // Opens an existing file for reading while keeping every other program
    // away from it, so that it can be replaced safely. Fails with
    // PlatformError::HeldByAnotherProgram while another program holds it.
    static Result<File> openExclusive(const std::filesystem::path& path);
    // Creates a file that must not exist yet, open for reading and writing.
    static Result<File> createNew(const std::filesystem::path& path);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    Result<std::uint64_t> size() const;
    // Last modification time in nanoseconds since the epoch: with the size, what
    // tells whether a file changed between two operations.
    Result<std::int64_t> lastWriteTime() const;
    // Reads up to buffer.size() bytes at offset; fewer only at the end of the file.
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> buffer) const;
    // Appends at the current write position, all or an error. What is written
    // goes to the disk in the background as it accumulates, so that sync() has
    // little left to wait for.
    std::error_code writeAll(std::span<const std::byte> bytes);
    // Makes what was written durable.
    std::error_code sync();
    // Closes now and reports what closing reports (a late write error, say).
    std::error_code close();

private:
    explicit File(std::intptr_t handle) : handle_(handle) {}
    static constexpr std::intptr_t invalidHandle = -1;
    std::intptr_t handle_ = invalidHandle;
    std::uint64_t written_ = 0;
    std::uint64_t handedToDisk_ = 0;
};

} // namespace veskard::platform
