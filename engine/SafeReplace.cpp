#include "engine/SafeReplace.h"

#include "engine/Checksum.h"

namespace veskard::engine {

Result<platform::TemporaryFile> writeVerified(const std::filesystem::path& target,
                                              const ContentWriter& write,
                                              const ContentCheck& check,
                                              std::span<std::byte> copyBuffer) {
    Result<platform::TemporaryFile> temporary = platform::TemporaryFile::createBeside(target);
    if (!temporary)
        return temporary.error();

    FileOutput fileOutput(temporary->file());
    ChecksummingOutput output(fileOutput);
    if (const std::error_code error = write(output))
        return error;
    if (const std::error_code error = temporary->file().sync())
        return error;

    const Result<FileInput> written = FileInput::open(temporary->file());
    if (!written)
        return written.error();
    if (const std::error_code error = verifyContent(*written, output.checksum(), copyBuffer))
        return error;
    if (check) {
        if (const std::error_code error = check(*written))
            return error;
    }
    return temporary;
}

} // namespace veskard::engine
