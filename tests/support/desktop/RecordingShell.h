#pragma once

#include "gui/desktop/ProgramEnd.h"
#include "gui/desktop/Shell.h"

#include <functional>
#include <optional>
#include <vector>

namespace veskard::test {

// Notes what would have been handed to other programs, and starts none.
class RecordingShell final : public gui::Shell {
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

// Notes that the program would have ended here, and with which status. The
// real end never returns, so only the first call counts, and `atEnd` lets a
// test look, at that moment, at what the program leaves behind: whatever runs
// after the call would never have run.
class RecordingProgramEnd final : public gui::ProgramEnd {
public:
    std::optional<int> status;
    std::function<void()> atEnd;

    void now(int exitStatus) override {
        if (status)
            return;
        status = exitStatus;
        if (atEnd)
            atEnd();
    }
};

} // namespace veskard::test
