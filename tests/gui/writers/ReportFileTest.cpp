#include "gui/writers/ReportFile.h"

#include "engine/Notice.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/SystemText.h"
#include "gui/writers/FileError.h"
#include "platform/PlatformError.h"
#include "support/TempFolder.h"
#include "support/desktop/RecordingShell.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::saveReport;

const QString Banner = QStringLiteral("******** Veskard v1.6 ********");
const QString Log = Banner + QStringLiteral("\r\n\r\n开始时间：2024-05-06 07:08:09\r\n"
                                            "加密文件：/home/rob/plan.doc\r\n"
                                            "加密成功！\r\n用时：0秒\r\n");
const QString Closing = QStringLiteral("\r\n-----------------------------------------\r\n");

class ReportFile : public testing::Test {
protected:
    TempFolder folder;
    // The report goes where the program writes its files, not necessarily beside it.
    const gui::ProgramFiles files{gui::fromPath(folder / "program"), gui::fromPath(folder / "data"),
                                  QString()};
    const std::filesystem::path report = folder / "data" / "Encrypt_Info.txt";
    RecordingShell shell;

    void SetUp() override { std::filesystem::create_directories(folder / "data"); }

    QByteArray reportBytes() const {
        const std::vector<std::byte> bytes = readFile(report);
        return {reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())};
    }
};

// The first entry and the later ones as a person makes them, the main
// window's report test shows; here, the rules and failures behind them.
TEST_F(ReportFile, BlanksAtTheEndsAreTrimmedOnlyInTheFirstEntryOfAnEmptyFile) {
    writeFile(report, {}); // an existing but empty file counts as new
    const QString padded = QStringLiteral("  ") + Log + QStringLiteral("   ");

    ASSERT_TRUE(saveReport(padded, files, shell).ok());
    ASSERT_TRUE(saveReport(padded, files, shell).ok());

    EXPECT_EQ(reportBytes(), gui::systemText(Log + Closing + padded.mid(Banner.size()) + Closing));
}

TEST_F(ReportFile, RefusedAccessIsSilentOtherFailuresAreShownAndTheEntryStays) {
    // A folder in the file's place refuses it, as a locked-down file does.
    std::filesystem::create_directory(report);
    const engine::JobStatus refused = saveReport(Log, files, shell);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.notice(), std::nullopt);
    EXPECT_TRUE(shell.inEditor.empty());
    std::filesystem::remove(report);

    // The editor fails after the entry was written.
    class NoEditor final : public gui::Shell {
        bool openWithDefaultProgram(QWidget*, const QString&) override { return false; }
        bool openInTextEditor(const QString&) override { return false; }
    } noEditor;
    const engine::JobStatus shown = saveReport(Log, files, noEditor);
    EXPECT_EQ(shown.notice(), gui::fileFailureNotice(gui::FileError::EditorNotStarted));
    EXPECT_EQ(reportBytes(), gui::systemText(Log + Closing));
}

#ifndef _WIN32 // mingw-w64 makes no symbolic links
// Another user who could once put a name there must not have the log
// appended to a file of the user's: the link is refused, and said so.
TEST_F(ReportFile, ALinkInTheReportsPlaceIsRefusedNotFollowed) {
    const std::vector<std::byte> victim{std::byte{'x'}};
    writeFile(folder / "victim", victim);
    std::filesystem::create_symlink(folder / "victim", report);
    const engine::JobStatus refused = saveReport(Log, files, shell);
    EXPECT_EQ(refused.notice(), gui::fileFailureNotice(platform::PlatformError::NotUsersOwnFile));
    EXPECT_EQ(readFile(folder / "victim"), victim);
    EXPECT_TRUE(shell.inEditor.empty());
}
#endif

} // namespace
} // namespace veskard::test
