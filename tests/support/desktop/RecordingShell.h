#pragma once

#include "desktop/ProgramEnd.h"
#include "desktop/Shell.h"

#include <optional>
#include <vector>

namespace veskard::test {

// Notes what would have been handed to other programs, and starts none.
class RecordingShell final : public desktop::Shell {
public:
    std::vector<QString> opened;   // documents and addresses
    std::vector<QString> inEditor; // text files shown in the editor

    bool openWithDefaultProgram(QWidget*, const QString& documentOrAddress) override {
        opened.push_back(documentOrAddress);
        return true;
    }
    bool openInTextEditor(const QString& path) override {
        inEditor.push_back(path);
        return true;
    }
};

// Notes that the program would have ended here, and with which status.
class RecordingProgramEnd final : public desktop::ProgramEnd {
public:
    std::optional<int> status;
    void now(int exitStatus) override { status = exitStatus; }
};

} // namespace veskard::test
