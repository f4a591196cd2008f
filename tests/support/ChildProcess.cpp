#include "support/ChildProcess.h"

#include <stdexcept>

namespace veskard::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
    QStringList arguments;
    for (const std::string& argument : argv)
        arguments.append(QString::fromStdString(argument));
    const QString program = arguments.takeFirst();
    start(program, arguments, options.terminal);
    if (!process_.waitForStarted())
        throw std::runtime_error("cannot start " + argv[0] + ": " +
                                 process_.errorString().toStdString());
    process_.write(options.input.data(), static_cast<qint64>(options.input.size()));
    process_.waitForBytesWritten(-1);
    process_.closeWriteChannel();
}

bool ChildProcess::waitFor(int stream, std::string_view text) {
    const auto found = [&] { return written_[stream].find(text) != std::string::npos; };
    return waitUntil([&] { return found() || !collect(); }) && found();
}

ChildOutcome ChildProcess::finish(std::chrono::milliseconds timeout) {
    ChildOutcome outcome;
    outcome.hung = !waitUntil([&] { return !collect(); }, timeout);
    if (outcome.hung) {
        process_.kill();
        process_.waitForFinished(-1);
    }
    // On POSIX a crash's exit code is the signal that ended the child.
    const bool crashed = process_.exitStatus() == QProcess::CrashExit;
    outcome.exitCode = crashed || outcome.hung ? -1 : process_.exitCode();
    outcome.signal = crashed ? process_.exitCode() : 0;
    outcome.out = std::move(written_[0]) + process_.readAllStandardOutput().toStdString();
    outcome.err = std::move(written_[1]) + process_.readAllStandardError().toStdString();
    return outcome;
}

bool ChildProcess::collect() {
    process_.waitForFinished(10);
    written_[0] += process_.readAllStandardOutput().toStdString();
    written_[1] += process_.readAllStandardError().toStdString();
    readTerminal();
    return process_.state() != QProcess::NotRunning || terminal_ >= 0;
}

} // namespace veskard::test
