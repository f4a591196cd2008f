#include "engine/DecryptJob.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/FailureNotice.h"
#include "engine/FileReplacement.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "platform/Paths.h"

#include <vector>

namespace veskard::engine {

JobStatus DecryptJob::openEnciphered(const std::filesystem::path& path) {
    const auto fail = [&](std::error_code cause) {
        return JobStatus::failure(cause, failureNotice(JobPhase::OpenEnciphered, cause, path));
    };
    const Result<platform::File> file = platform::File::openForReading(path);
    if (!file)
        return fail(file.error());
    const Result<platform::FileState> state = file->state();
    if (!state)
        return fail(state.error());
    if (state->size == 0)
        return fail(EngineError::EmptyFile);
    const FileInput input(*file, state->size);
    Result<CryptRecord> record = readRecord(input);
    if (!record)
        return fail(record.error());

    const std::uint64_t bytesAfterRecord = input.size() - recordSize(*record);
    std::u16string storedPassword = decodePassword(record->PassCodes);
    opened_ = Opened{path, std::move(*record), std::move(storedPassword), bytesAfterRecord, *state};
    return JobStatus::success();
}

JobStatus DecryptJob::restoreTo(const std::filesystem::path& target, std::stop_token stop) {
    const auto fail = [&](std::error_code cause) {
        return JobStatus::failure(cause, failureNotice(JobPhase::Restore, cause, target));
    };
    if (target.empty())
        return fail(EngineError::NoTarget);
    if (!opened_)
        return fail(EngineError::NothingLoaded);

    // The record in memory names byte ranges of the file as it was read.
    const bool inPlace = platform::isSameFile(target, opened_->path);
    Result<FileReplacement> replacement =
        FileReplacement::start({opened_->path, target, inPlace, opened_->state});
    if (!replacement)
        return fail(replacement.error());
    const CryptRecord& record = opened_->record;
    const ReplacementContent content{plainLayout(record), {}};
    const Result<FileReplacement::Replaced> replaced =
        replacement->finish(content, env_.events, std::move(stop));
    if (!replaced)
        return fail(replaced.error());

    std::vector<Notice> warnings;
    if (replaced->afterwards)
        warnings.push_back(Messages::failedAfterReplacing(replaced->afterwards));
    if (opened_->bytesAfterRecord > 0)
        warnings.push_back(Messages::bytesNotRestored(opened_->bytesAfterRecord));
    opened_.reset();
    return JobStatus::success(std::move(warnings));
}

} // namespace veskard::engine
