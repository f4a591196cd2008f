#include "app/CommandLine.h"

#include "gui/desktop/NameText.h"

#include <QRegularExpression>

namespace veskard::app {

namespace {

Switches switchesIn(const QString& text) {
    return {text.contains(QLatin1String("/e")), text.contains(QLatin1String("/s")),
            text.contains(QLatin1String("/r")), text.contains(QLatin1String("/k"))};
}

bool isSwitchesAlone(const QByteArray& argument) {
    static const QRegularExpression switches(
        QRegularExpression::anchoredPattern(QStringLiteral("(/[ekrs])+")));
    return switches.match(QString::fromLatin1(argument)).hasMatch();
}

CommandLine readArguments(const QList<QByteArray>& arguments) {
    CommandLine line;
    if (isSwitchesAlone(arguments.front()))
        line.switches = switchesIn(QString::fromLatin1(arguments.front()));
    line.switchForm = arguments.size() > 1 && (line.switches.encrypt || line.switches.decrypt);
    const gui::NameText name =
        gui::nameText((line.switchForm ? arguments.mid(1) : arguments).join(' '));
    line.fileName = name.text;
    line.nameRefusal = name.refusal;
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

CommandLine readCommandLine(const gui::CommandLineText& line) {
    return line.arguments.isEmpty() ? readCommandLine(line.text) : readArguments(line.arguments);
}

} // namespace veskard::app
