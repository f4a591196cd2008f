#include "startup/CommandLine.h"

#include "desktop/Paths.h"
#include "platform/DirectoryLookup.h"

namespace veskard::startup {

CommandLine readCommandLine(const QString& text) {
    CommandLine line;
    line.switches.encrypt = text.contains(QLatin1String("/e"));
    line.switches.showResult = text.contains(QLatin1String("/s"));
    line.switches.decrypt = text.contains(QLatin1String("/r"));
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    line.switchForm = blank >= 0 && (line.switches.encrypt || line.switches.decrypt);
    line.fileName = line.switchForm ? text.mid(blank + 1) : text;
    return line;
}

bool fileExists(const QString& name) {
    return platform::findFirstFile(desktop::toPath(name), platform::LookupMask::AllFiles)
        .has_value();
}

} // namespace veskard::startup
