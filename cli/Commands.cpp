#include "cli/Commands.h"

#include "cli/CliError.h"
#include "cli/Generate.h"
#include "cli/ProgressBar.h"
#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "engine/EncryptLog.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RandomSource.h"
#include "engine/RecordFormat.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"
#include "platform/ErrorText.h"

namespace veskard::cli {
namespace {

// The record keeps each character's code in the Chinese code page; one the
// code page lacks comes back as '?', and the file would not open again with
// the password that locked it.
bool survivesRecord(std::u16string_view password) {
    const Result<std::vector<std::string>> codes = engine::encodePassword(password);
    return !codes || engine::decodePassword(*codes) == password;
}

} // namespace

int Commands::run(const Arguments& arguments) {
    switch (arguments.command) {
    case Command::Lock:
        return lock(arguments);
    case Command::Unlock:
        return unlock(arguments);
    case Command::Info:
        return info(arguments);
    case Command::Generate: {
        engine::SystemRandom random;
        return generatePasswords(arguments.generate, console_, random);
    }
    case Command::Help:
        console_.out << helpText();
        return ExitSuccess;
    case Command::Version:
        console_.out << engine::VersionMajor << '.' << engine::VersionMinor << '\n';
        return ExitSuccess;
    }
    return ExitUsage;
}

int Commands::refuse(const engine::JobStatus& status) {
    // A failure the window would pass over silently still gets a line here:
    // a script must learn why.
    if (status.notice())
        console_.err << status.notice()->text << '\n';
    else
        console_.err << platform::describeError(status.cause()) << '\n';
    return ExitRefused;
}

int Commands::refuse(std::error_code error) {
    console_.err << platform::describeError(error) << '\n';
    return ExitRefused;
}

std::optional<std::filesystem::path> Commands::writableTarget(const Arguments& arguments) {
    if (!arguments.output)
        return arguments.file;
    std::error_code ignored;
    if (!arguments.force && std::filesystem::exists(*arguments.output, ignored)) {
        console_.err << "veskard-cli: '" << engine::displayPath(*arguments.output)
                     << "'已存在！要替换它，请加上 --force。\n";
        return std::nullopt;
    }
    return arguments.output;
}

int Commands::lock(const Arguments& arguments) {
    const std::optional<std::filesystem::path> target = writableTarget(arguments);
    if (!target)
        return ExitRefused;

    engine::OperationLog log;
    const platform::SystemClock clock;
    engine::SystemRandom random;
    const engine::LocaleTextFormats formats;
    engine::EncryptJob job({log, clock, random, formats});
    const engine::TimePoint start = clock.now();
    if (const engine::JobStatus loaded = job.load(arguments.file); !loaded.ok())
        return refuse(loaded);

    const Result<std::u16string> password = passwords_.readNew();
    if (!password)
        return refuse(password.error());
    if (password->empty())
        return refuse(CliError::EmptyPassword);
    if (!survivesRecord(*password))
        return refuse(CliError::UnstorablePassword);

    ProgressBar bar(console_.err, console_.errIsTerminal);
    const engine::JobStatus locked =
        job.encipherTo(*target, *password, start, [&bar](int percent) { bar.show(percent); });
    bar.finish();
    return locked.ok() ? ExitSuccess : refuse(locked);
}

int Commands::unlock(const Arguments& arguments) {
    const std::optional<std::filesystem::path> target = writableTarget(arguments);
    if (!target)
        return ExitRefused;

    engine::DecryptJob job;
    if (const engine::JobStatus opened = job.openEnciphered(arguments.file); !opened.ok())
        return refuse(opened);
    const Result<std::u16string> password = passwords_.readExisting();
    if (!password)
        return refuse(password.error());
    if (*password != job.opened()->storedPassword)
        return refuse(CliError::WrongPassword);

    const engine::JobStatus restored = job.restoreTo(*target);
    return restored.ok() ? ExitSuccess : refuse(restored);
}

int Commands::info(const Arguments& arguments) {
    engine::DecryptJob job;
    if (const engine::JobStatus opened = job.openEnciphered(arguments.file); !opened.ok())
        return refuse(opened);
    const engine::DecryptJob::Opened& file = *job.opened();
    console_.out << "文件：" << engine::displayPath(file.path) << '\n'
                 << "块数：" << file.record.Pieces.size() << '\n'
                 << "原文件大小：" << file.record.plainSize() << " 字节\n"
                 << "记录大小：" << engine::recordSize(file.record) << " 字节\n"
                 << "密码长度：" << file.storedPassword.size() << '\n';
    return ExitSuccess;
}

} // namespace veskard::cli
