#pragma once

#include "support/ChildProcess.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace veskard::test {

// Another program that holds a file: a real child process (HoldFile) that
// opens it one of the ways support/FileHold.h names and keeps it until the
// holder is destroyed.
class LockHolder {
public:
    // Returns once the child holds the file.
    LockHolder(const std::filesystem::path& file, const std::string& way)
        : child_({VESKARD_HOLD_FILE_PATH, way, utf8(file)}) {
        if (!child_.waitForOutput("+")) {
            const ChildOutcome outcome = child_.finish();
            throw std::runtime_error("the child could not hold " + utf8(file) + ": " + outcome.err);
        }
    }

private:
    ChildProcess child_;
};

} // namespace veskard::test
