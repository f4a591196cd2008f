#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace veskard::startup {

// A file opened to add to its end, created empty when missing: the report
// file. Closes itself; move-only.
class AppendFile {
public:
    static Result<AppendFile> open(const std::filesystem::path& path);

    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&& other) noexcept;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();

    // Its length in bytes, including what was added.
    std::uint64_t size() const { return size_; }
    // Adds the bytes at its end, all or none: what a failed write had added is
    // cut off again, so that a full disk leaves no partial entry behind.
    std::error_code append(std::span<const std::byte> bytes);
    // Closes now and reports what closing reports.
    std::error_code close();

private:
    explicit AppendFile(std::intptr_t handle)
        : handle_(handle) {}
    static constexpr std::intptr_t invalidHandle = -1;
    std::intptr_t handle_ = invalidHandle;
    std::uint64_t size_ = 0;
};

} // namespace veskard::startup
