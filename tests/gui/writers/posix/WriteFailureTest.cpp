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
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
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

TEST(WriteFailure, ScriptThatCannotBeWrittenIsShownAndLeavesOnlyTheFolder) {
    TempFolder folder;
    writeFile(folder / "plan.doc", patternBytes(200));
    engine::JobStatus status = engine::JobStatus::success();
    {
        FileSizeLimit limit(16);
        status =
            gui::writeScripts(true, true, gui::fromPath(folder / "plan.doc"), QStringLiteral("/x"));
    }
    EXPECT_EQ(status.notice(), FileTooLarge);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "plan"));
}

TEST(WriteFailure, ReportThatCannotBeWrittenIsShownAndKeepsTheFileAsItWas) {
    TempFolder folder;
    const gui::ProgramFiles files{gui::fromPath(folder.path()), gui::fromPath(folder.path()),
                                  QString()};
    const auto report = folder / "Encrypt_Info.txt";
    const std::vector<std::byte> earlier = patternBytes(100);
    writeFile(report, earlier);
    RecordingShell shell;
    engine::JobStatus status = engine::JobStatus::success();
    {
        FileSizeLimit limit(earlier.size() + 10); // room for part of the entry only
        status = gui::saveReport(QString::fromStdString(engine::logBanner()) +
                                     QStringLiteral("\r\n") + QString(100, u'x'),
                                 files, shell);
    }
    EXPECT_EQ(status.notice(), FileTooLarge);
    EXPECT_EQ(readFile(report), earlier);
    EXPECT_TRUE(shell.inEditor.empty());
}

} // namespace
} // namespace veskard::test
