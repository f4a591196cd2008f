#include "engine/DecryptJob.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/FailureNotice.h"
#include "engine/FileReplacement.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/StrongDecryption.h"
#include "platform/Paths.h"

#include <vector>

namespace veskard::engine {

JobStatus DecryptJob::openEnciphered(const std::filesystem::path& path) {
    opened_.reset();
    keys_.reset();
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

    if (hasStrongMagic(input)) {
        const Result<StrongHeader> header = readStrongHeader(input);
        if (!header)
            return fail(header.error());
        opened_ = Opened{.path = path,
                         .kind = LockKind::Strong,
                         .plainSize = *strongPlainSize(input.size(), header->chunkSize),
                         .strongHeader = *header,
                         .state = *state};
        return JobStatus::success();
    }
    Result<CryptRecord> record = readRecord(input);
    if (!record)
        return fail(record.error());
    const std::uint64_t plainSize = record->plainSize();
    const std::uint64_t bytesAfterRecord = input.size() - recordSize(*record);
    std::u16string storedPassword = decodePassword(record->PassCodes);
    opened_ = Opened{.path = path,
                     .plainSize = plainSize,
                     .record = std::move(*record),
                     .storedPassword = std::move(storedPassword),
                     .bytesAfterRecord = bytesAfterRecord,
                     .state = *state};
    return JobStatus::success();
}

Result<PasswordCheck> DecryptJob::checkPassword(std::u16string_view password) {
    if (!opened_)
        return EngineError::NothingLoaded;
    if (opened_->kind == LockKind::Classic)
        return password == opened_->storedPassword ? PasswordCheck::Right : PasswordCheck::Wrong;

    keys_.reset();
    const StrongHeader& header = *opened_->strongHeader;
    Result<StrongKeys> keys = StrongKeys::derive(password, header.cost, header.salt);
    // No password that locking refuses has locked a file.
    if (keys.error() == EngineError::EmptyPassword ||
        keys.error() == EngineError::StrongPasswordTooLong)
        return PasswordCheck::Wrong;
    if (!keys)
        return keys.error();
    if (!keys->open(header))
        return PasswordCheck::Wrong;
    keys_.emplace(std::move(*keys));
    return PasswordCheck::Right;
}

JobStatus DecryptJob::restoreTo(const std::filesystem::path& target, std::stop_token stop) {
    const auto fail = [&](std::error_code cause) {
        return JobStatus::failure(cause, failureNotice(JobPhase::Restore, cause, target));
    };
    if (target.empty())
        return fail(EngineError::NoTarget);
    if (!opened_ || (opened_->kind == LockKind::Strong && !keys_))
        return fail(EngineError::NothingLoaded);

    // What is in memory describes the file as it was read.
    const bool inPlace = platform::isSameFile(target, opened_->path);
    Result<FileReplacement> replacement =
        FileReplacement::start({opened_->path, target, inPlace, opened_->state});
    if (!replacement)
        return fail(replacement.error());
    std::optional<StrongDecryption> decryption;
    ReplacementContent content;
    if (opened_->kind == LockKind::Classic) {
        content = ReplacementContent::laidOut(plainLayout(opened_->record));
    } else {
        Result<StrongDecryption> started =
            StrongDecryption::start(*keys_, *opened_->strongHeader, opened_->state.size);
        if (!started)
            return fail(started.error());
        decryption.emplace(std::move(*started));
        // Each chunk is authenticated as it is decrypted, the last one as the
        // content ends: a damaged one stops the restore before the rename.
        content = {decryption->plainSize(),
                   [&](const ByteInput& source, std::uint64_t offset, std::span<std::byte> slice) {
                       return decryption->fill(source, offset, slice);
                   }};
    }
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
    keys_.reset();
    return JobStatus::success(std::move(warnings));
}

} // namespace veskard::engine
