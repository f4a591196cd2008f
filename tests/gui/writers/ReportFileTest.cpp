#include "gui/writers/ReportFile.h"

#include "engine/Notice.h"
#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/SystemText.h"
#include "gui/writers/FileError.h"
#include "support/TempFolder.h"
#include "support/desktop/RecordingShell.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::saveReport;

const QString Banner = QString::fromStdString(engine::logBanner());
const QString Log = Banner + QStringLiteral("\r\n\r\n开始时间：2024-05-06 07:08:09\r\n"
                                            "加密文件：/home/rob/plan.doc\r\n"
                                            "加密成功！\r\n用时：0秒\r\n");
const QString Closing = QStringLiteral("\r\n-----------------------------------------\r\n");

class ReportFile : public testing::Test {
protected:
    TempFolder folder;
    // The report goes where the program writes its files, not necessarily beside it.
    const gui::ProgramFiles files{gui::fromPath(folder / "program"), gui::fromPath(folder.path()),
                                  QString()};
    const std::filesystem::path report = folder / "Encrypt_Info.txt";
    RecordingShell shell;

    QByteArray reportBytes() const {
        const std::vector<std::byte> bytes = readFile(report);
        return {reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())};
    }
};

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
    EXPECT_TRUE(!refused.ok() && !refused.notice());
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

} // namespace
} // namespace veskard::test
