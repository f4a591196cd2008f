#pragma once

#include "engine/CryptRecord.h"
#include "engine/JobEnvironment.h"
#include "engine/JobStatus.h"
#include "engine/LockKind.h"
#include "engine/StrongFormat.h"
#include "engine/StrongKeys.h"
#include "platform/File.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace veskard::engine {

// Whether a typed password opens the file opened.
enum class PasswordCheck { Right, Wrong };

// Unlocks a file of either kind in three steps: openEnciphered() reads the
// chosen file and tells its kind from it; checkPassword() checks a typed
// password; restoreTo() writes the plain content in place or to another
// file, through the same FileReplacement the encryption uses. Decrypting
// writes nothing to the log; it reports its progress.
//
// Every step may run on a worker thread, one step at a time: checking a
// strong lock's password takes a second or so. The job keeps the key a right
// password gave, for restoreTo(), until the restore is done or another file
// is opened.
class DecryptJob {
public:
    struct Opened {
        std::filesystem::path path{};
        LockKind kind = LockKind::Classic;
        std::uint64_t plainSize = 0;
        // A classic record, and the password it stores.
        CryptRecord record{};
        std::u16string storedPassword{};
        // Bytes that follow a classic record in the file (appended to it, or
        // left from an older, longer content): never restored. A strong lock
        // has none: bytes added to it are damage.
        std::uint64_t bytesAfterRecord = 0;
        // A strong lock's header, which names its costs; the password is
        // stored in no form.
        std::optional<StrongHeader> strongHeader{};
        platform::FileState state{};
    };

    explicit DecryptJob(JobEnvironment environment)
        : env_(environment) {}

    JobStatus openEnciphered(const std::filesystem::path& path);
    // Classic: compares with the stored password, at once. Strong: derives
    // the key with the costs the file names (about a second and 256 MiB) and
    // checks the header's MAC with it; fails only when the key cannot be
    // derived (too little memory) or nothing is opened.
    Result<PasswordCheck> checkPassword(std::u16string_view password);
    // A strong lock is restored only once its password was checked right; a
    // classic one needs no check here (the caller may compare the stored
    // password itself). Succeeds with a warning when bytes after a classic
    // record were left out; a damaged strong lock fails with DamagedRecord,
    // nothing written.
    JobStatus restoreTo(const std::filesystem::path& target, std::stop_token stop = {});

    // The file opened, if any.
    const std::optional<Opened>& opened() const { return opened_; }

private:
    JobEnvironment env_;
    std::optional<Opened> opened_;
    std::optional<StrongKeys> keys_;
};

} // namespace veskard::engine
