#include "desktop/CommandLineText.h"

namespace veskard::desktop {

CommandLineText commandLineText(int argc, char** argv) {
    CommandLineText line;
    for (int i = 1; i < argc; ++i)
        line.arguments.append(QString::fromLocal8Bit(argv[i]));
    line.text = line.arguments.join(QLatin1Char(' '));
    return line;
}

} // namespace veskard::desktop
