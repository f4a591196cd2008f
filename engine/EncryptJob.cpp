#include "engine/EncryptJob.h"

#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/Rounding.h"
#include "engine/SafeReplace.h"
#include "engine/Scramble.h"
#include "platform/File.h"

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

std::optional<std::uint64_t> EncryptJob::loadedSize() const {
    if (!loaded_)
        return std::nullopt;
    return loaded_->plan.size;
}

JobStatus EncryptJob::load(const std::filesystem::path& source) {
    loaded_.reset();
    // Only the size is needed now; whether another program holds the file is
    // found out, and told, when it is about to be written.
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error))
        return JobStatus::failure(error ? error : make_error_code(std::errc::is_a_directory),
                                  std::nullopt);
    const std::uint64_t size = std::filesystem::file_size(source, error);
    if (error)
        return JobStatus::failure(error, std::nullopt);
    if (size == 0)
        return JobStatus::failure(EngineError::EmptyFile, Messages::zeroSizeFile(source));
    env_.random.reseed();
    if (size <= LargestRefusedSize)
        return JobStatus::failure(EngineError::EmptyFile, Messages::fileTooSmall());
    const Result<SplitPlan> plan = split(size, env_.random);
    if (!plan)
        return JobStatus::failure(plan.error(), std::nullopt);
    loaded_ = Loaded{source, *plan};
    return JobStatus::success();
}

JobStatus EncryptJob::writeFailure(std::error_code cause) {
    env_.log.append(br + "写入失败。" + br);
    return JobStatus::failure(cause, Messages::encryptWriteFailed());
}

JobStatus EncryptJob::encipherTo(const std::filesystem::path& target,
                                 std::u16string_view password, TimePoint startTime,
                                 const Progress& progress) {
    const Result<std::vector<std::string>> passCodes = encodePassword(password);
    if (!passCodes)
        return writeFailure(passCodes.error());
    if (target.empty())
        return JobStatus::failure(std::make_error_code(std::errc::invalid_argument), std::nullopt);
    if (!loaded_)
        return JobStatus::failure(EngineError::NothingLoaded, std::nullopt);

    const bool inPlace = isSameFile(target, loaded_->path);
    platform::FileAttributes remembered;
    if (inPlace) {
        const Result<platform::FileAttributes> attributes = platform::readAttributes(target);
        if (!attributes)
            return writeFailure(attributes.error());
        remembered = *attributes;
        env_.log.append(br + "得到文件的属性...  …… OK！" + br + "设置文件的属性...  …… OK！");
    }

    // Reading shares the source with other readers only; an in-place target is
    // kept from every other program until it has been replaced.
    Result<platform::File> source = inPlace ? platform::File::openExclusive(loaded_->path)
                                            : platform::File::openForReading(loaded_->path);
    if (!source)
        return writeFailure(source.error());
    const Result<FileInput> input = FileInput::open(*source);
    if (!input)
        return writeFailure(input.error());
    if (input->size() != loaded_->plan.size)
        return writeFailure(EngineError::SourceChanged);
    std::optional<platform::File> targetGuard;
    if (!inPlace && std::filesystem::exists(target)) {
        Result<platform::File> guard = platform::File::openExclusive(target);
        if (!guard)
            return writeFailure(guard.error());
        targetGuard = std::move(*guard);
    }

    const std::vector<Piece> plain = loaded_->plan.plainPieces();
    const std::string base = env_.log.text();
    ScrambleResult scrambled = scramble(plain, env_.random, [&](int draw, int total) {
        const int percent = percentDone(draw, total);
        env_.log.replace(base + br + "正执行加密算法...  …… " + std::to_string(percent) + "% 完成");
        if (progress)
            progress(percent);
    });
    const CryptRecord record{std::move(scrambled.stored), *passCodes, std::move(scrambled.order),
                             0};

    env_.log.append(br + "正在写入数据...  ");
    std::vector<std::byte> buffer(CopyBufferSize);
    const std::filesystem::path destination = followLinks(target);
    Result<platform::TemporaryFile> written = writeVerified(
        destination, [&](ByteOutput& output) { return writeRecord(output, record, *input, buffer); },
        [&](const ByteInput& result) { return checkRecord(result, record); }, buffer);
    if (!written)
        return writeFailure(written.error());
    source->close();
    targetGuard.reset();
    if (const std::error_code error = written->commit(destination, {remembered, inPlace}))
        return writeFailure(error);
    env_.log.append("  …… OK！");
    loaded_.reset();
    appendTimingLines(startTime);
    return JobStatus::success();
}

void EncryptJob::appendTimingLines(TimePoint startTime) {
    const TimePoint end = env_.clock.now();
    env_.log.append(br + "保存文件信息..." + br + "加密成功！" + br + "结束时间：" +
                    env_.formats.dateTime(end) + br + "用时：" +
                    std::to_string(elapsedSeconds(startTime, end)) + "秒" + br);
}

} // namespace veskard::engine
