#include "gui/desktop/CommandLineText.h"

namespace veskard::gui {

CommandLineText commandLineText(int argc, char** argv) {
    CommandLineText line;
    for (int i = 1; i < argc; ++i)
        line.arguments.append(QByteArray(argv[i]));
    return line;
}

} // namespace veskard::gui
