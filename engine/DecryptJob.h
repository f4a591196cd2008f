#pragma once

#include "engine/CryptRecord.h"
#include "engine/JobStatus.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace veskard::engine {

// Unlocks a file in two steps: openEnciphered() reads the record of the chosen
// file and its stored password (the caller checks the typed password against
// it); restoreTo() writes the plain content in place or to another file, by the
// same safe replacement the encryption uses.
class DecryptJob {
public:
    struct Opened {
        std::filesystem::path path;
        CryptRecord record;
        std::u16string storedPassword;
        std::uint64_t size = 0;
        std::int64_t lastWriteTime = 0;
    };

    JobStatus openEnciphered(const std::filesystem::path& path);
    JobStatus restoreTo(const std::filesystem::path& target);

    // The file whose record is in memory, if any.
    const std::optional<Opened>& opened() const { return opened_; }

private:
    std::optional<Opened> opened_;
};

} // namespace veskard::engine
