#include "startup/CommandLine.h"

namespace veskard::startup {

namespace {

Switches switchesIn(const QString& text) {
    return {text.contains(QLatin1String("/e")), text.contains(QLatin1String("/s")),
            text.contains(QLatin1String("/r"))};
}

CommandLine readArguments(const QList<QByteArray>& bytes) {
    QStringList arguments;
    for (const QByteArray& argument : bytes)
        arguments.append(QString::fromLocal8Bit(argument));
    CommandLine line;
    line.switches = switchesIn(arguments.value(0));
    line.switchForm = arguments.size() > 1 && (line.switches.encrypt || line.switches.decrypt);
    line.fileName = (line.switchForm ? arguments.mid(1) : arguments).join(QLatin1Char(' '));
    return line;
}

} // namespace

CommandLine readCommandLine(const QString& text) {
    CommandLine line;
    line.switches = switchesIn(text);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    line.switchForm = blank >= 0 && (line.switches.encrypt || line.switches.decrypt);
    line.fileName = line.switchForm ? text.mid(blank + 1) : text;
    return line;
}

CommandLine readCommandLine(const desktop::CommandLineText& line) {
    return line.arguments.isEmpty() ? readCommandLine(line.text) : readArguments(line.arguments);
}

} // namespace veskard::startup
