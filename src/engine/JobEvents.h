#pragma once

#include <cstdint>
#include <string>

namespace veskard::engine {

// One change to the operation log. Lines end in CR LF; the text of a change
// carries the line breaks it adds.
struct LogChange {
    enum class Kind {
        Replace,         // the whole log becomes `text`
        Append,          // `text` follows what stands
        RewriteLastLine, // `text` takes the place of everything after the last line break
    };
    Kind kind = Kind::Append;
    std::string text;

    bool operator==(const LogChange&) const = default;
};

// How far a job is: bytes done of the bytes of the whole job (each byte of
// the new file counts twice, once written and once read back to verify it).
struct ByteProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;

    // Whole percent, 100 only when done.
    int percent() const { return total == 0 ? 100 : static_cast<int>(done * 100 / total); }
    bool operator==(const ByteProgress&) const = default;
};

// What a job tells whoever shows it, called on the job's own thread: a window
// passes the events on to its own. Progress is told only when its whole
// percentage changes, from 0 up to 100.
class JobEvents {
public:
    virtual ~JobEvents() = default;
    virtual void logChanged(const LogChange& change) = 0;
    virtual void progressed(const ByteProgress& progress) = 0;
};

// For a job nobody watches: a run without a window shows neither log nor progress.
class UnwatchedJob final : public JobEvents {
public:
    void logChanged(const LogChange&) override {}
    void progressed(const ByteProgress&) override {}
};

} // namespace veskard::engine
