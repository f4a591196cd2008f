#include "desktop/CommandLineText.h"

#include <QStringList>

namespace veskard::desktop {

QString commandLineText(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments.join(QLatin1Char(' '));
}

} // namespace veskard::desktop
