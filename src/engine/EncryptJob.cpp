#include "engine/EncryptJob.h"

#include "engine/ControlCharacters.h"
#include "engine/EngineError.h"
#include "engine/FailureNotice.h"
#include "engine/FileReplacement.h"
#include "engine/Messages.h"
#include "engine/OperationLog.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Rounding.h"
#include "engine/Scramble.h"
#include "engine/Version.h"
#include "platform/ErrorText.h"
#include "platform/Paths.h"
#include "texts/Texts.h"

#include <string>
#include <vector>

namespace veskard::engine {
namespace {

const std::string br(OperationLog::LineBreak);

int percentDone(int draw, int total) {
    return static_cast<int>(roundHalfEven(static_cast<double>(draw) * 100.0 / total));
}

// The record read back from the temporary file must be the one meant.
std::error_code checkRecord(const ByteInput& written, const CryptRecord& intended) {
    const Result<CryptRecord> record = readRecord(written);
    if (!record)
        return record.error();
    if (record->Order != intended.Order || record->PassCodes != intended.PassCodes ||
        record->Pieces.size() != intended.Pieces.size())
        return EngineError::VerificationFailed;
    for (std::size_t i = 0; i < intended.Pieces.size(); ++i) {
        if (record->Pieces[i].length != intended.Pieces[i].length)
            return EngineError::VerificationFailed;
    }
    return {};
}

} // namespace

bool isEnciphered(const std::filesystem::path& path) {
    const Result<platform::File> file = platform::File::openForReading(path);
    if (!file)
        return false;
    const Result<FileInput> input = FileInput::open(*file);
    return input && readRecord(*input).ok();
}

std::optional<std::uint64_t> EncryptJob::loadedSize() const {
    if (!loaded_)
        return std::nullopt;
    return loaded_->plan.size;
}

void EncryptJob::log(LogChange::Kind kind, std::string text) {
    env_.events.logChanged({kind, std::move(text)});
}

JobStatus EncryptJob::load(const std::filesystem::path& source, Relock relock) {
    loaded_.reset();
    // Only the size is needed now; whether another program holds the file is
    // found out, and told, when it is about to be written.
    const Result<platform::FileState> state = platform::regularFileState(source);
    if (!state)
        return JobStatus::failure(state.error(), failureNotice(JobPhase::Load, state.error()));
    startTime_ = env_.clock.now();
    log(LogChange::Kind::Replace,
        logBanner() + br + br + texts::log::startTime + env_.formats.dateTime(startTime_) + br +
            texts::log::fileToLock + controlCharactersMasked(platform::displayName(source)) + br +
            texts::log::fileSize + env_.formats.byteCount(state->size) + texts::log::bytes + br +
            texts::log::loaded);

    const auto refuse = [&](std::error_code cause) {
        return JobStatus::failure(cause, failureNotice(JobPhase::Load, cause, source));
    };
    if (state->size == 0)
        return refuse(EngineError::EmptyFile);
    env_.random.reseed();
    if (state->size <= LargestRefusedSize)
        return refuse(EngineError::FileTooSmall);
    if (relock == Relock::Refuse && isEnciphered(source))
        return refuse(EngineError::AlreadyEnciphered);
    const Result<SplitPlan> plan = split(state->size, env_.random);
    if (!plan)
        return refuse(plan.error());
    loaded_ = Loaded{source, *state, *plan};
    return JobStatus::success();
}

JobStatus EncryptJob::writeFailure(std::error_code cause) {
    // A stop asked for is no failure of writing.
    if (cause != std::errc::operation_canceled)
        log(LogChange::Kind::Append, br + texts::log::writeFailed + br);
    return JobStatus::failure(cause, failureNotice(JobPhase::Encipher, cause));
}

JobStatus EncryptJob::encipherTo(const std::filesystem::path& target, std::u16string_view password,
                                 std::stop_token stop) {
    if (!loaded_)
        return JobStatus::failure(EngineError::NothingLoaded, std::nullopt);
    log(LogChange::Kind::Append, br + texts::log::processing + br + texts::log::passwordSet);
    const Result<std::vector<std::string>> passCodes = encodePassword(password);
    if (!passCodes)
        return writeFailure(passCodes.error());
    // The record keeps each character's code in the Chinese code page. One the
    // code page lacks would come back as "?", and the file would not open again
    // with the password that locked it.
    if (decodePassword(*passCodes) != password)
        return writeFailure(EngineError::UnstorablePassword);
    if (target.empty())
        return JobStatus::failure(EngineError::NoTarget, std::nullopt);

    const bool inPlace = platform::isSameFile(target, loaded_->path);
    if (inPlace)
        log(LogChange::Kind::Append,
            br + texts::log::attributesRead + br + texts::log::attributesSet);
    Result<FileReplacement> replacement =
        FileReplacement::start({loaded_->path, target, inPlace, loaded_->state});
    if (!replacement)
        return writeFailure(replacement.error());

    // The progress line is one line, rewritten as its percentage changes.
    int shown = -1;
    const std::vector<Piece> plain = loaded_->plan.plainPieces();
    ScrambleResult scrambled = scramble(plain, env_.random, [&](int draw, int total) {
        const int percent = percentDone(draw, total);
        if (percent == shown)
            return;
        const std::string line = texts::filled(texts::log::progress, std::to_string(percent));
        if (shown < 0)
            log(LogChange::Kind::Append, br + line);
        else
            log(LogChange::Kind::RewriteLastLine, line);
        shown = percent;
    });
    if (stop.stop_requested())
        return writeFailure(make_error_code(std::errc::operation_canceled));
    const CryptRecord record{std::move(scrambled.stored), *passCodes, std::move(scrambled.order),
                             0};

    log(LogChange::Kind::Append, br + texts::log::writing);
    const ReplacementContent content{recordLayout(record), [&](const ByteInput& written) {
                                         return checkRecord(written, record);
                                     }};
    const Result<FileReplacement::Replaced> replaced =
        replacement->finish(content, env_.events, std::move(stop));
    if (!replaced)
        return writeFailure(replaced.error());
    log(LogChange::Kind::Append, texts::log::written);
    loaded_.reset();

    const TimePoint end = env_.clock.now();
    log(LogChange::Kind::Append,
        br + texts::log::savingInfo + br + texts::log::encrypted + br + texts::log::endTime +
            env_.formats.dateTime(end) + br +
            texts::filled(texts::log::elapsed, std::to_string(elapsedSeconds(startTime_, end))) +
            br);
    if (replaced->afterwards)
        return JobStatus::success({Messages::failedAfterReplacing(replaced->afterwards)});
    return JobStatus::success();
}

} // namespace veskard::engine
