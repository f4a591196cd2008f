#pragma once

#include "engine/JobEnvironment.h"
#include "engine/JobStatus.h"
#include "engine/Split.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

namespace veskard::engine {

// Locks a file in two steps, as the window and the unattended run drive it:
// load() checks the file and plans its pieces; encipherTo() scrambles them and
// writes the record, in place or to another file.
//
// Nothing is ever written over a target directly: the record goes to a
// temporary file beside the target, is synced and read back, and only then
// takes the target's place. Any failure leaves the target as it was, bytes and
// attributes.
class EncryptJob {
public:
    // Called with the percentage after each progress line is written.
    using Progress = std::function<void(int percent)>;

    explicit EncryptJob(JobEnvironment environment) : env_(environment) {}

    JobStatus load(const std::filesystem::path& source);
    JobStatus encipherTo(const std::filesystem::path& target, std::u16string_view password,
                         TimePoint startTime, const Progress& progress = {});

    // The size of the loaded file, when one is loaded.
    std::optional<std::uint64_t> loadedSize() const;

private:
    struct Loaded {
        std::filesystem::path path;
        SplitPlan plan;
    };

    JobStatus writeFailure(std::error_code cause);
    void appendTimingLines(TimePoint startTime);

    JobEnvironment env_;
    std::optional<Loaded> loaded_;
};

} // namespace veskard::engine
