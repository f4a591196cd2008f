#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <filesystem>

namespace veskard::platform {

// The four classic file attributes, with their Windows bit values so that they
// can be stored and compared the same way on every system.
enum class FileAttribute : std::uint32_t {
    ReadOnly = 0x01,
    Hidden = 0x02,
    System = 0x04,
    Archive = 0x20,
};

class FileAttributes {
public:
    constexpr FileAttributes() = default;
    constexpr FileAttributes(FileAttribute attribute)
        : bits_(static_cast<std::uint32_t>(attribute)) {}
    static constexpr FileAttributes fromBits(std::uint32_t bits) {
        FileAttributes result;
        result.bits_ = bits & allBits;
        return result;
    }

    constexpr std::uint32_t bits() const { return bits_; }
    constexpr bool has(FileAttribute attribute) const {
        return (bits_ & static_cast<std::uint32_t>(attribute)) != 0;
    }
    constexpr bool none() const { return bits_ == 0; }

    constexpr FileAttributes operator|(FileAttributes other) const {
        return fromBits(bits_ | other.bits_);
    }
    constexpr bool operator==(const FileAttributes&) const = default;

private:
    static constexpr std::uint32_t allBits = 0x01 | 0x02 | 0x04 | 0x20;
    std::uint32_t bits_ = 0;
};

constexpr FileAttributes operator|(FileAttribute a, FileAttribute b) {
    return FileAttributes(a) | FileAttributes(b);
}

// Reads the attributes of an existing file.
Result<FileAttributes> readAttributes(const std::filesystem::path& path);

// Sets exactly the given attributes: those not named are cleared.
std::error_code writeAttributes(const std::filesystem::path& path, FileAttributes attributes);

inline std::error_code clearAttributes(const std::filesystem::path& path) {
    return writeAttributes(path, FileAttributes{});
}

} // namespace veskard::platform
