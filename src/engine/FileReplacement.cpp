#include "engine/FileReplacement.h"

#include "engine/EngineError.h"
#include "engine/ProgressMeter.h"
#include "engine/SliceStream.h"
#include "platform/Paths.h"
#include "platform/TemporaryFile.h"

#include <optional>
#include <vector>

namespace veskard::engine {

struct FileReplacement::State {
    State(platform::File file, const platform::FileState& state)
        : source(std::move(file))
        , sourceState(state)
        , input(source, state.size) {}

    platform::File source;
    platform::FileState sourceState;
    FileInput input;
    bool inPlace = false;
    std::filesystem::path destination; // the target, links followed
    std::optional<platform::File> existingTarget;
    std::optional<platform::FileState> replaced; // what the target's name stands for now
};

ReplacementContent ReplacementContent::laidOut(ContentLayout layout, Check check) {
    const std::uint64_t size = layout.size();
    return {size,
            [layout = std::move(layout)](const ByteInput& source, std::uint64_t offset,
                                         std::span<std::byte> slice) {
                return layout.fill(source, offset, slice);
            },
            std::move(check),
            {},
            0};
}

FileReplacement::FileReplacement(std::unique_ptr<State> state)
    : state_(std::move(state)) {}
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement& FileReplacement::operator=(FileReplacement&&) noexcept = default;
FileReplacement::~FileReplacement() = default;

Result<FileReplacement> FileReplacement::start(const ReplaceRequest& request) {
    Result<platform::File> source = request.inPlace
                                        ? platform::File::openExclusive(request.source)
                                        : platform::File::openForReading(request.source);
    if (!source)
        return source.error();
    const Result<platform::FileState> sourceState = source->state();
    if (!sourceState)
        return sourceState.error();
    if (!sourceState->isSameVersion(request.read))
        return EngineError::SourceChanged;
    // Rewriting one name of several would leave the old content under the others.
    if (request.inPlace && sourceState->links > 1)
        return EngineError::HasOtherNames;
    const Result<std::filesystem::path> destination =
        platform::followLinks(request.inPlace ? request.source : request.target);
    if (!destination)
        return destination.error();

    auto state = std::make_unique<State>(std::move(*source), *sourceState);
    state->inPlace = request.inPlace;
    state->destination = *destination;
    if (request.inPlace) {
        state->replaced = *sourceState;
    } else {
        Result<platform::File> target = platform::File::openExclusive(*destination);
        if (target) {
            const Result<platform::FileState> targetState = target->state();
            if (!targetState)
                return targetState.error();
            state->replaced = *targetState;
            state->existingTarget = std::move(*target);
        } else if (target.error() != std::errc::no_such_file_or_directory) {
            return target.error();
        }
    }
    return FileReplacement(std::move(state));
}

Result<FileReplacement::Replaced> FileReplacement::finish(const ReplacementContent& content,
                                                          JobEvents& events, std::stop_token stop) {
    State& state = *state_;
    const std::uint64_t size = content.size;
    ProgressMeter meter(events, 2 * size + content.checkedBytes, std::move(stop));
    if (const std::error_code error = meter.checkStop())
        return error;
    Result<platform::TemporaryFile> temporary =
        platform::TemporaryFile::createBeside(state.destination);
    if (!temporary)
        return temporary.error();

    // A thread of its own makes the content from the source and hashes it
    // while this one writes the slice made before (and follows it with a
    // check, if the content has one).
    std::uint64_t writtenSoFar = 0;
    const Result<Fingerprint> made = streamSlices(
        size,
        [&](std::uint64_t offset, std::span<std::byte> slice) {
            return content.fill(state.input, offset, slice);
        },
        [&](std::span<const std::byte> slice) {
            if (const std::error_code error = temporary->file().writeAll(slice))
                return error;
            writtenSoFar += slice.size();
            if (content.checkAsWritten) {
                if (const std::error_code error =
                        content.checkAsWritten(FileInput(temporary->file(), writtenSoFar), meter))
                    return error;
            }
            return meter.advance(slice.size());
        },
        Filling::AheadOnAThread);
    if (!made)
        return made.error();
    if (const std::error_code error = temporary->file().sync())
        return error;
    const Result<FileInput> written = FileInput::open(temporary->file());
    if (!written)
        return written.error();
    if (const std::error_code error = verifyReadBack(*written, *made, meter))
        return error;
    if (content.check) {
        if (const std::error_code error = content.check(*written, meter))
            return error;
    }

    const platform::File* original =
        state.inPlace ? &state.source : (state.existingTarget ? &*state.existingTarget : nullptr);
    if (const std::error_code error =
            original ? temporary->copyMetadataFrom(*original) : temporary->giveFreshMetadata())
        return error;
    if (const std::error_code error = meter.checkStop())
        return error;

    // The files must still be the ones read: a writer that takes no lock may
    // have changed one all the same.
    const Result<platform::FileState> sourceNow = state.source.state();
    if (!sourceNow)
        return sourceNow.error();
    if (*sourceNow != state.sourceState)
        return EngineError::SourceChanged;
    std::vector<platform::File> held;
    held.push_back(std::move(state.source));
    if (state.existingTarget) {
        const Result<platform::FileState> targetNow = state.existingTarget->state();
        if (!targetNow)
            return targetNow.error();
        if (*targetNow != *state.replaced)
            return EngineError::SourceChanged;
        held.push_back(std::move(*state.existingTarget));
    }
    const Result<platform::TemporaryFile::Committed> committed =
        temporary->commit(state.replaced, std::move(held));
    if (!committed)
        return committed.error();
    return Replaced{committed->afterwards};
}

} // namespace veskard::engine
