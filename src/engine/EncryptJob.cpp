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
#include "engine/StrongEncryption.h"
#include "engine/StrongKeys.h"
#include "engine/StrongReadBack.h"
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
    if (!input)
        return false;
    return hasStrongMagic(*input) ? readStrongHeader(*input).ok() : readRecord(*input).ok();
}

std::optional<std::uint64_t> EncryptJob::loadedSize() const {
    if (!loaded_)
        return std::nullopt;
    return loaded_->state.size;
}

void EncryptJob::log(LogChange::Kind kind, std::string text) {
    env_.events.logChanged({kind, std::move(text)});
}

void EncryptJob::logProgress(int percent, int& shown) {
    if (percent == shown)
        return;
    const std::string line = texts::filled(texts::log::progress, std::to_string(percent));
    if (shown < 0)
        log(LogChange::Kind::Append, br + line);
    else
        log(LogChange::Kind::RewriteLastLine, line);
    shown = percent;
}

JobStatus EncryptJob::load(const std::filesystem::path& source, Relock relock, LockKind kind) {
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
    const bool classic = kind == LockKind::Classic;
    if (classic && state->size == 0)
        return refuse(EngineError::EmptyFile);
    env_.random.reseed();
    if (classic && state->size <= LargestRefusedSize)
        return refuse(EngineError::FileTooSmall);
    if (relock == Relock::Refuse && isEnciphered(source))
        return refuse(EngineError::AlreadyEnciphered);
    SplitPlan plan;
    if (classic) {
        const Result<SplitPlan> planned = split(state->size, env_.random);
        if (!planned)
            return refuse(planned.error());
        plan = *planned;
    }
    loaded_ = Loaded{source, *state, kind, plan};
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
    const bool classic = loaded_->kind == LockKind::Classic;
    log(LogChange::Kind::Append,
        br + texts::log::processing + br +
            (classic ? texts::log::passwordSet : texts::log::passwordSetStrong));
    std::vector<std::string> passCodes;
    if (classic) {
        Result<std::vector<std::string>> codes = encodePassword(password);
        if (!codes)
            return writeFailure(codes.error());
        // The record keeps each character's code in the Chinese code page. One the
        // code page lacks would come back as "?", and the file would not open again
        // with the password that locked it.
        if (decodePassword(*codes) != password)
            return writeFailure(EngineError::UnstorablePassword);
        passCodes = std::move(*codes);
    } else if (const std::error_code problem = StrongKeys::passwordProblem(password)) {
        return writeFailure(problem);
    }
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
    const Result<FileReplacement::Replaced> replaced =
        classic ? writeClassic(*replacement, std::move(passCodes), std::move(stop))
                : writeStrong(*replacement, password, std::move(stop));
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

Result<FileReplacement::Replaced> EncryptJob::writeClassic(FileReplacement& replacement,
                                                           std::vector<std::string> passCodes,
                                                           std::stop_token stop) {
    int shown = -1;
    const std::vector<Piece> plain = loaded_->plan.plainPieces();
    ScrambleResult scrambled = scramble(plain, env_.random, [&](int draw, int total) {
        logProgress(percentDone(draw, total), shown);
    });
    if (stop.stop_requested())
        return std::make_error_code(std::errc::operation_canceled);
    const CryptRecord record{std::move(scrambled.stored), std::move(passCodes),
                             std::move(scrambled.order), 0};

    log(LogChange::Kind::Append, br + texts::log::writing);
    const ReplacementContent content = ReplacementContent::laidOut(
        recordLayout(record),
        [&](const ByteInput& written, ProgressMeter&) { return checkRecord(written, record); });
    return replacement.finish(content, env_.events, std::move(stop));
}

// Deriving the key is this kind's slow step, where the classic one scrambles.
Result<FileReplacement::Replaced> EncryptJob::writeStrong(FileReplacement& replacement,
                                                          std::u16string_view password,
                                                          std::stop_token stop) {
    int shown = -1;
    logProgress(0, shown);
    const Result<Salt> salt = StrongKeys::freshSalt();
    if (!salt)
        return salt.error();
    const Result<StrongKeys> keys = StrongKeys::derive(password, strongCost_, *salt);
    if (!keys)
        return keys.error();
    const std::uint64_t plainSize = loaded_->state.size;
    Result<StrongEncryption> encryption =
        StrongEncryption::start(*keys, strongCost_, *salt, plainSize);
    if (!encryption)
        return encryption.error();
    logProgress(100, shown);
    if (stop.stop_requested())
        return std::make_error_code(std::errc::operation_canceled);

    Result<StrongReadBack> readBack =
        StrongReadBack::start(*keys, encryption->header(), encryption->size());
    if (!readBack)
        return readBack.error();

    log(LogChange::Kind::Append, br + texts::log::writing);
    // Every chunk is read back and decrypted as soon as it is written, while
    // the next ones are encrypted; the plain text must be the one read.
    const ReplacementContent content{
        encryption->size(),
        [&](const ByteInput& source, std::uint64_t offset, std::span<std::byte> slice) {
            return encryption->fill(source, offset, slice);
        },
        [&](const ByteInput& written, ProgressMeter&) {
            return readBack->finish(written, encryption->plainFingerprint());
        },
        [&](const ByteInput& written, ProgressMeter& meter) {
            return readBack->follow(written, meter);
        },
        plainSize};
    return replacement.finish(content, env_.events, std::move(stop));
}

} // namespace veskard::engine
