#include "engine/Messages.h"
#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/writers/BatchScripts.h"
#include "gui/writers/ReportFile.h"
#include "support/TempFolder.h"
#include "support/desktop/RecordingShell.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace veskard::test {
namespace {

// No file may grow past `bytes` in this scope: a write beyond fails with
// "file too large", as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limit{bytes, previous_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*signal_)(int);
};

const engine::Notice FileTooLarge =
    engine::Messages::systemFailure(std::make_error_code(std::errc::file_too_large));

TEST(WriteFailure, IsShownAndLeavesNoPartFileOrEntry) {
    TempFolder folder;
    writeFile(folder / "plan.doc", patternBytes(200));
    const std::vector<std::byte> earlier = patternBytes(100);
    writeFile(folder / "Encrypt_Info.txt", earlier);
    const QString here = gui::fromPath(folder.path());
    RecordingShell shell;
    {
        FileSizeLimit limit(earlier.size() + 10);
        EXPECT_EQ(gui::writeScripts(true, true, here + "/plan.doc", QString(200, u'x')).notice(),
                  FileTooLarge);
        const QString log = QString::fromStdString(engine::logBanner()) + QString(100, u'x');
        EXPECT_EQ(gui::saveReport(log, {here, here, {}}, shell).notice(), FileTooLarge);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "plan"));
    EXPECT_EQ(readFile(folder / "Encrypt_Info.txt"), earlier);
    EXPECT_TRUE(shell.inEditor.empty());
}

} // namespace
} // namespace veskard::test
