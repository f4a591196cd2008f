#pragma once

#include "engine/ByteStreams.h"
#include "engine/ContentLayout.h"
#include "engine/JobEvents.h"
#include "engine/ProgressMeter.h"
#include "platform/File.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <stop_token>
#include <system_error>

namespace veskard::engine {

// What a job wants replaced.
struct ReplaceRequest {
    std::filesystem::path source; // the file the new content is made from
    std::filesystem::path target; // the file the new content replaces or creates
    bool inPlace = false;         // whether target names the source
    platform::FileState read;     // the source as the job read it before
};

// The new content: its size, how each slice of it is made from the source,
// and a check of what was written once it is read back (none: the bytes are
// all). Slices are asked for in order, each where the one before ended, one
// at a time but maybe on a thread of their own; an empty content is one empty
// slice, so that content made in sequence always sees its end. A check that
// has to read the whole file again may follow the writing instead: it is
// called after each slice, on the writing thread while the next slice is
// made, with the file as far as it is written. What such a check reads it
// counts on the meter it is given; `checkedBytes` says how many.
struct ReplacementContent {
    using Fill = std::function<std::error_code(const ByteInput& source, std::uint64_t offset,
                                               std::span<std::byte> slice)>;
    using Check = std::function<std::error_code(const ByteInput& written, ProgressMeter& meter)>;
    std::uint64_t size = 0;
    Fill fill{};
    Check check{};
    Check checkAsWritten{};
    std::uint64_t checkedBytes = 0;

    // The content `layout` describes, its ranges taken from the source.
    static ReplacementContent laidOut(ContentLayout layout, Check check = {});
};

// The one way this program replaces a file; the jobs supply only the content.
//
// start() opens the source (held exclusively when it is rewritten in place,
// shared with other readers otherwise), makes sure it is the regular file the
// job read, with no other names when rewritten in place, and holds an
// existing target. finish() writes the content to a private temporary file
// beside the target (through any symbolic link to the file it leads to),
// syncs it, reads it back and verifies it against what was written (their
// fingerprints, see SliceStream.h), gives it the replaced file's owner,
// permissions and attributes (or a new file's), checks that nothing changed
// meanwhile and renames it over the target; the source stays held until then
// (on Windows, until right before). Every failure, and a stop asked for
// between two slices of work, leaves the target as it was and no temporary
// file behind. Once the new file is in place the replacement has succeeded.
class FileReplacement {
public:
    static Result<FileReplacement> start(const ReplaceRequest& request);

    FileReplacement(FileReplacement&&) noexcept;
    FileReplacement& operator=(FileReplacement&&) noexcept;
    ~FileReplacement();

    struct Replaced {
        // What failed once the new file was in place (syncing its folder).
        std::error_code afterwards;
    };
    // Progress counts each byte twice, written and read back, and then what
    // the check reads.
    Result<Replaced> finish(const ReplacementContent& content, JobEvents& events,
                            std::stop_token stop);

private:
    struct State;
    explicit FileReplacement(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace veskard::engine
