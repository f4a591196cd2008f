#include "cli/Commands.h"

#include "cli/CliError.h"
#include "cli/Generate.h"
#include "cli/Interruption.h"
#include "cli/ProgressBar.h"
#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/Messages.h"
#include "engine/RecordFormat.h"
#include "engine/Version.h"
#include "platform/ErrorText.h"
#include "platform/Paths.h"
#include "texts/Texts.h"

namespace veskard::cli {
namespace {

// The log is the window's; here a job shows its progress on the bar.
class BarEvents final : public engine::JobEvents {
public:
    explicit BarEvents(ProgressBar& bar)
        : bar_(bar) {}
    void logChanged(const engine::LogChange&) override {}
    void progressed(const engine::ByteProgress& progress) override {
        bar_.show(progress.percent());
    }

private:
    ProgressBar& bar_;
};

} // namespace

int Commands::run(const Arguments& arguments) {
    switch (arguments.command) {
    case Command::Lock:
        return lock(arguments);
    case Command::Unlock:
        return unlock(arguments);
    case Command::Info:
        return info(arguments);
    case Command::Generate:
        return generatePasswords(arguments.generate, console_, random_);
    case Command::Help:
        console_.out << helpText();
        return ExitSuccess;
    case Command::Version:
        console_.out << engine::VersionMajor << '.' << engine::VersionMinor << '\n';
        return ExitSuccess;
    }
    return ExitUsage;
}

// A failure the window would pass over silently still gets a line here: a
// script must learn why.
int Commands::finish(const engine::JobStatus& status) {
    for (const engine::Notice& warning : status.warnings())
        console_.err << texts::cli::warning << warning.text << '\n';
    if (status.ok())
        return ExitSuccess;
    console_.err << status.notice().value_or(engine::Messages::systemFailure(status.cause())).text
                 << '\n';
    return ExitRefused;
}

int Commands::refuse(std::error_code error) {
    console_.err << platform::describeError(error) << '\n';
    return ExitRefused;
}

// A name that stands for anything, a symbolic link leading nowhere included,
// is replaced only when asked to.
std::optional<std::filesystem::path> Commands::writableTarget(const Arguments& arguments) {
    if (!arguments.output)
        return arguments.file;
    const Result<bool> exists = platform::nameExists(*arguments.output);
    if (!exists) {
        refuse(exists.error());
        return std::nullopt;
    }
    if (*exists && !arguments.force) {
        console_.err << texts::filled(texts::cli::outputExists,
                                      platform::displayName(*arguments.output));
        return std::nullopt;
    }
    return arguments.output;
}

int Commands::lock(const Arguments& arguments) {
    const std::optional<std::filesystem::path> target = writableTarget(arguments);
    if (!target)
        return ExitRefused;

    ProgressBar bar(console_.err, console_.errIsTerminal, texts::cli::locking);
    BarEvents events(bar);
    engine::EncryptJob job({events, clock_, random_, formats_});
    const engine::Relock relock = arguments.force ? engine::Relock::Allow : engine::Relock::Refuse;
    const engine::LockKind kind =
        arguments.strong ? engine::LockKind::Strong : engine::LockKind::Classic;
    if (const engine::JobStatus loaded = job.load(arguments.file, relock, kind); !loaded.ok())
        return finish(loaded);

    const Result<std::u16string> password = passwords_.readNew(kind);
    if (!password)
        return refuse(password.error());

    std::stop_source stop;
    const StopOnInterrupt interruption(stop);
    const engine::JobStatus locked = job.encipherTo(*target, *password, stop.get_token());
    bar.finish();
    return finish(locked);
}

int Commands::unlock(const Arguments& arguments) {
    const std::optional<std::filesystem::path> target = writableTarget(arguments);
    if (!target)
        return ExitRefused;

    ProgressBar bar(console_.err, console_.errIsTerminal, texts::cli::unlocking);
    BarEvents events(bar);
    engine::DecryptJob job({events, clock_, random_, formats_});
    if (const engine::JobStatus opened = job.openEnciphered(arguments.file); !opened.ok())
        return finish(opened);
    const Result<std::u16string> password = passwords_.readExisting(job.opened()->kind);
    if (!password)
        return refuse(password.error());
    const Result<engine::PasswordCheck> check = job.checkPassword(*password);
    if (!check)
        return refuse(check.error());
    if (*check == engine::PasswordCheck::Wrong)
        return refuse(CliError::WrongPassword);

    std::stop_source stop;
    const StopOnInterrupt interruption(stop);
    const engine::JobStatus restored = job.restoreTo(*target, stop.get_token());
    bar.finish();
    return finish(restored);
}

int Commands::info(const Arguments& arguments) {
    engine::UnwatchedJob events;
    engine::DecryptJob job({events, clock_, random_, formats_});
    if (const engine::JobStatus opened = job.openEnciphered(arguments.file); !opened.ok())
        return finish(opened);
    const engine::DecryptJob::Opened& file = *job.opened();
    namespace words = texts::cli;
    console_.out << words::infoFile << platform::displayName(file.path) << '\n';
    if (file.kind == engine::LockKind::Strong) {
        const engine::StrongHeader& header = *file.strongHeader;
        console_.out << words::infoKindStrong << '\n'
                     << words::infoPlainSize << file.plainSize << words::bytes << '\n'
                     << words::infoOpsLimit << header.cost.opsLimit << '\n'
                     << words::infoMemLimit << header.cost.memLimit << words::bytes << '\n'
                     << words::infoChunkSize << header.chunkSize << words::bytes << '\n';
        return ExitSuccess;
    }
    console_.out << words::infoKindClassic << '\n'
                 << words::infoPieces << file.record.Pieces.size() << '\n'
                 << words::infoPlainSize << file.plainSize << words::bytes << '\n'
                 << words::infoRecordSize << engine::recordSize(file.record) << words::bytes << '\n'
                 << words::infoBytesAfter << file.bytesAfterRecord << words::bytes << '\n'
                 << words::infoPasswordLength << file.storedPassword.size() << '\n';
    return ExitSuccess;
}

} // namespace veskard::cli
