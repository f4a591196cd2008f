#include "gui/writers/ReportFile.h"

#include "engine/Notice.h"
#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/desktop/SystemText.h"
#include "gui/writers/FileError.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"

#include <QDir>
#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::saveReport;

const QString Banner = QString::fromStdString(engine::logBanner());
const QString Log = Banner + QStringLiteral("\r\n\r\n开始时间：2024-05-06 07:08:09\r\n"
                                            "加密文件：/home/rob/plan.doc\r\n"
                                            "加密成功！\r\n用时：0秒\r\n");
const QString Closing = QStringLiteral("\r\n-----------------------------------------\r\n");

// The report goes where the program writes its files, not necessarily beside
// it. An existing but empty file counts as new. A folder in the file's place
// refuses it, as a locked-down file does.
TEST(ReportFile, FirstEntryTrimmedLaterOnesWithoutBannerRefusalSilentEntryKeptWithoutEditor) {
    TempFolder folder;
    const gui::ProgramFiles files{gui::fromPath(folder / "program"), gui::fromPath(folder.path()),
                                  QString()};
    const std::filesystem::path report = folder / "Encrypt_Info.txt";
    RecordingShell shell;
    writeFile(report, {});
    const QString padded = QStringLiteral("  ") + Log + QStringLiteral("   ");
    ASSERT_TRUE(saveReport(padded, files, shell).ok());
    ASSERT_TRUE(saveReport(padded, files, shell).ok());
    EXPECT_EQ(readText(report),
              gui::systemText(Log + Closing + padded.mid(Banner.size()) + Closing).toStdString());
    EXPECT_EQ(shell.inEditor,
              std::vector<QString>(2, QDir::fromNativeSeparators(gui::fromPath(report))));

    std::filesystem::remove(report);
    std::filesystem::create_directory(report);
    const engine::JobStatus refused = saveReport(Log, files, shell);
    EXPECT_TRUE(!refused.ok() && !refused.notice());
    EXPECT_EQ(shell.inEditor.size(), 2u);
    std::filesystem::remove(report);

    shell.editorStarts = false; // fails after the entry was written
    EXPECT_EQ(saveReport(Log, files, shell).notice(),
              gui::fileFailureNotice(gui::FileError::EditorNotStarted));
    EXPECT_EQ(readText(report), gui::systemText(Log + Closing).toStdString());
}

} // namespace
} // namespace veskard::test
