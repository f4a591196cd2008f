#pragma once

#include <system_error>

namespace veskard::platform {

// Refusals of the platform layer's own; their messages are what the user reads.
enum class PlatformError {
    HeldByAnotherProgram = 1, // another program has the file open without sharing it
    NotRegularFile,           // a folder, a FIFO, a socket or a device
    FileReplaced,             // the name came to stand for another file while it was worked on
    TemporaryFileReplaced,    // the temporary file's name no longer stands for what was written
    FolderReplaced,           // a new folder's name came to stand for something else once made
    NotUsersOwnFile,          // a program's own file: a link, other names, another user's
};

const std::error_category& platformCategory();

inline std::error_code make_error_code(PlatformError error) {
    return {static_cast<int>(error), platformCategory()};
}

} // namespace veskard::platform

template <> struct std::is_error_code_enum<veskard::platform::PlatformError> : std::true_type {};
