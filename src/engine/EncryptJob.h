#pragma once

#include "engine/FileReplacement.h"
#include "engine/JobEnvironment.h"
#include "engine/JobStatus.h"
#include "engine/LockKind.h"
#include "engine/Split.h"
#include "engine/StrongFormat.h"
#include "platform/File.h"

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace veskard::engine {

// Locks a file in two steps, as the window, the unattended run and the
// command line all drive it, and writes the operation log as it goes:
// load() replaces the log with its header (banner, start time, file, size,
// load line) and plans the pieces; encipherTo() writes every later line
// (password, attributes, progress, writing, timing, or "写入失败。") while it
// scrambles the pieces and puts the record in the target's place, the loaded
// file itself when target names it. A strong lock names its kind in the
// password line, derives its key where the classic one scrambles, and
// encrypts the content on its way to the target.
//
// The new file replaces its target only through FileReplacement: written to a
// temporary file, verified, then renamed into place. Any failure, or a stop
// asked for, leaves the target as it was.
// Whether the file at `path` is locked already, of either kind: it reads as a
// whole record, or starts with a whole strong lock's header. One that cannot
// be read counts as not; locking it then says why.
bool isEnciphered(const std::filesystem::path& path);

// Whether a file that is locked already may be locked again. That locks the
// record, and the first unlock gives back the record, still locked; the
// window asks the person first.
enum class Relock { Refuse, Allow };

class EncryptJob {
public:
    // `strongCost` is what deriving a strong lock's key costs.
    explicit EncryptJob(JobEnvironment environment, KeyCost strongCost = KeyCost::moderate())
        : env_(environment)
        , strongCost_(strongCost) {}

    // The start time, counted from for the elapsed seconds, is the header's.
    // A strong lock takes files of any size, empty ones included.
    JobStatus load(const std::filesystem::path& source, Relock relock = Relock::Refuse,
                   LockKind kind = LockKind::Classic);
    JobStatus encipherTo(const std::filesystem::path& target, std::u16string_view password,
                         std::stop_token stop = {});

    // The size of the loaded file, when one is loaded.
    std::optional<std::uint64_t> loadedSize() const;

private:
    struct Loaded {
        std::filesystem::path path;
        platform::FileState state;
        LockKind kind;
        SplitPlan plan; // classic only
    };

    void log(LogChange::Kind kind, std::string text);
    // The progress line, one line rewritten as its percentage changes.
    void logProgress(int percent, int& shown);
    JobStatus writeFailure(std::error_code cause);
    Result<FileReplacement::Replaced> writeClassic(FileReplacement& replacement,
                                                   std::vector<std::string> passCodes,
                                                   std::stop_token stop);
    Result<FileReplacement::Replaced>
    writeStrong(FileReplacement& replacement, std::u16string_view password, std::stop_token stop);

    JobEnvironment env_;
    KeyCost strongCost_;
    std::optional<Loaded> loaded_;
    TimePoint startTime_{};
};

} // namespace veskard::engine
