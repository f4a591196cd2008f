#include "engine/DecryptJob.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/FailureClass.h"
#include "engine/JobEnvironment.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/SafeReplace.h"
#include "platform/File.h"
#include "platform/PlatformError.h"

#include <vector>

namespace veskard::engine {
namespace {

// A file another program holds cannot be unlocked until that program lets go,
// which is what the user is told, whichever step finds it held.
JobStatus readFailure(std::error_code cause) {
    if (cause == platform::PlatformError::HeldByAnotherProgram)
        return JobStatus::failure(cause, Messages::restoreWriteFailed());
    return JobStatus::failure(cause, classifyFailure(cause));
}

JobStatus restoreFailure(std::error_code cause) {
    return JobStatus::failure(cause, Messages::restoreWriteFailed());
}

} // namespace

JobStatus DecryptJob::openEnciphered(const std::filesystem::path& path) {
    const Result<platform::File> file = platform::File::openForReading(path);
    if (!file)
        return readFailure(file.error());
    const Result<FileInput> input = FileInput::open(*file);
    if (!input)
        return readFailure(input.error());
    if (input->size() == 0)
        return JobStatus::failure(EngineError::EmptyFile, Messages::noDataInFile(path));
    const Result<std::int64_t> lastWriteTime = file->lastWriteTime();
    if (!lastWriteTime)
        return readFailure(lastWriteTime.error());
    Result<CryptRecord> record = readRecord(*input);
    if (!record)
        return readFailure(record.error());

    std::u16string storedPassword = decodePassword(record->PassCodes);
    opened_ = Opened{path, std::move(*record), std::move(storedPassword), input->size(),
                     *lastWriteTime};
    return JobStatus::success();
}

JobStatus DecryptJob::restoreTo(const std::filesystem::path& target) {
    if (target.empty())
        return JobStatus::failure(std::make_error_code(std::errc::invalid_argument), std::nullopt);
    if (!opened_)
        return JobStatus::failure(EngineError::NothingLoaded, std::nullopt);

    const bool inPlace = isSameFile(target, opened_->path);
    Result<platform::File> source = inPlace ? platform::File::openExclusive(opened_->path)
                                            : platform::File::openForReading(opened_->path);
    if (!source)
        return restoreFailure(source.error());
    const Result<FileInput> input = FileInput::open(*source);
    const Result<std::int64_t> lastWriteTime = source->lastWriteTime();
    if (!input || !lastWriteTime)
        return restoreFailure(input ? lastWriteTime.error() : input.error());
    // The record in memory names byte ranges of the file as it was read.
    if (input->size() != opened_->size || *lastWriteTime != opened_->lastWriteTime)
        return restoreFailure(EngineError::SourceChanged);

    // An existing target keeps its attributes; a new one has none.
    platform::Replacement replacement;
    std::optional<platform::File> targetGuard;
    if (std::filesystem::exists(target)) {
        if (!inPlace) {
            Result<platform::File> guard = platform::File::openExclusive(target);
            if (!guard)
                return restoreFailure(guard.error());
            targetGuard = std::move(*guard);
        }
        const Result<platform::FileAttributes> attributes = platform::readAttributes(target);
        if (!attributes)
            return restoreFailure(attributes.error());
        replacement = {*attributes, true};
    }

    const CryptRecord& record = opened_->record;
    std::vector<std::byte> buffer(CopyBufferSize);
    const std::filesystem::path destination = followLinks(target);
    Result<platform::TemporaryFile> written = writeVerified(
        destination,
        [&](ByteOutput& output) { return writePlainPieces(output, record, *input, buffer); }, {},
        buffer);
    if (!written)
        return restoreFailure(written.error());
    source->close();
    targetGuard.reset();
    if (const std::error_code error = written->commit(destination, replacement))
        return restoreFailure(error);
    opened_.reset();
    return JobStatus::success();
}

} // namespace veskard::engine
