#pragma once

#include "engine/CryptRecord.h"
#include "engine/JobEnvironment.h"
#include "engine/JobStatus.h"
#include "platform/File.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>

namespace veskard::engine {

// Unlocks a file in two steps: openEnciphered() reads the record of the chosen
// file and its stored password (the caller checks the typed password against
// it); restoreTo() writes the plain content in place or to another file,
// through the same FileReplacement the encryption uses. Decrypting writes
// nothing to the log; it reports its progress.
class DecryptJob {
public:
    struct Opened {
        std::filesystem::path path;
        CryptRecord record;
        std::u16string storedPassword;
        // Bytes that follow the record in the file (appended to it, or left
        // from an older, longer content): never restored.
        std::uint64_t bytesAfterRecord = 0;
        platform::FileState state;
    };

    explicit DecryptJob(JobEnvironment environment)
        : env_(environment) {}

    JobStatus openEnciphered(const std::filesystem::path& path);
    // Succeeds with a warning when bytes after the record were left out.
    JobStatus restoreTo(const std::filesystem::path& target, std::stop_token stop = {});

    // The file whose record is in memory, if any.
    const std::optional<Opened>& opened() const { return opened_; }

private:
    JobEnvironment env_;
    std::optional<Opened> opened_;
};

} // namespace veskard::engine
