#include "engine/Messages.h"
#include "engine/Version.h"
#include "gui/desktop/Paths.h"
#include "gui/writers/BatchScripts.h"
#include "gui/writers/ReportFile.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// What only POSIX shows of the writers: shell scripts run by the system,
// another user who may write to the folder, a disk that fills up.
namespace veskard::test {
namespace {

// A double click in a file manager runs the script itself. The folder and the
// name hold what a shell or the program's switch search could trip over:
// blanks, a single quote, a line break, and "/r", "/e", "/s" in the path.
TEST(ShellScripts, RunTheProgramOnTheFileWithItsSwitchesAndNothingElse) {
    TempFolder folder;
    const auto programFolder = folder / "stand in", program = programFolder / "Veskard";
    std::filesystem::create_directory(programFolder);
    // In place of the program: notes its folder and its arguments, NUL after each.
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\0' \"$PWD\" \"$@\" >\"$0.arguments\"\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const auto fileFolder = folder / "reports" / "etc" / "srv";
    std::filesystem::create_directories(fileFolder);
    const std::string name = "it's a\nplan.doc";
    writeFile(fileFolder / name, patternBytes(200));

    const mode_t umask = ::umask(027);
    const engine::JobStatus written =
        gui::writeScripts(true, true, gui::fromPath(fileFolder / name), gui::fromPath(program));
    ::umask(umask);
    ASSERT_TRUE(written.ok());

    const auto scripts = fileFolder / "it's a\nplan";
    for (const auto& [script, switches] : {std::pair{"加密.sh", "/e/s"}, {"解密.sh", "/r/s"}}) {
        EXPECT_EQ(std::filesystem::status(scripts / script).permissions(),
                  std::filesystem::perms(0750))
            << "executable, as far as the umask allows";
        const ChildOutcome outcome = runChild({utf8(scripts / script)});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(readText(programFolder / "Veskard.arguments"),
                  utf8(fileFolder) + '\0' + switches + '\0' + name + '\0');
        // The line break in the name stays inside the comment.
        EXPECT_NE(
            readText(scripts / script).find("\n# 文件：" + utf8(fileFolder) + "/it's a?plan.doc\n"),
            std::string::npos);
    }
}

// Another user who may write to the file's folder (0777, no sticky bit) puts
// a link to a folder of the running user's in place of the new folder as
// soon as it appears, having renamed that away (SwapFolder, woken by its
// creation; a name taken before is the batch scripts' test). Whoever wins
// each run, no script may ever land in the linked folder.
TEST(ShellScripts, FolderSwappedForALinkByAnotherUserLetsNoScriptThrough) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    TempFolder folder;
    const auto shared = folder / "shared", victim = folder / "victim";
    std::filesystem::create_directory(victim);
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    writeFile(shared / "plan.doc", patternBytes(200));
    ChildProcess watcher({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c",
                          R"(cd "$0" && exec "$@")", utf8(shared), VESKARD_SWAP_FOLDER_PATH, "plan",
                          utf8(victim)});
    ASSERT_TRUE(watcher.waitFor(0, "+"));
    for (int run = 0; run < 200; ++run) {
        // Written into the new folder wherever it went, or refused.
        (void)gui::writeScripts(true, true, gui::fromPath(shared / "plan.doc"), "/usr/bin/veskard");
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::is_symlink(shared / "plan"); }))
            << "the watcher never acted";
        ASSERT_TRUE(std::filesystem::is_empty(victim)) << "run " << run;
        std::filesystem::remove(shared / "plan");
    }
}

TEST(WriteFailure, IsShownAndLeavesNoPartFileOrEntry) {
    TempFolder folder;
    writeFile(folder / "plan.doc", patternBytes(200));
    const std::vector<std::byte> earlier = patternBytes(100);
    writeFile(folder / "Encrypt_Info.txt", earlier);
    const QString here = gui::fromPath(folder.path());
    const engine::Notice fileTooLarge =
        engine::Messages::systemFailure(std::make_error_code(std::errc::file_too_large));
    RecordingShell shell;
    // No file may grow past the limit: a write beyond fails with "file too
    // large", as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limit{earlier.size() + 10, previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const QString log = QString::fromStdString(engine::logBanner()) + QString(100, u'x');
    EXPECT_EQ(gui::writeScripts(true, true, here + "/plan.doc", QString(200, u'x')).notice(),
              fileTooLarge);
    EXPECT_EQ(gui::saveReport(log, {here, here, {}}, shell).notice(), fileTooLarge);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "plan"));
    EXPECT_EQ(readFile(folder / "Encrypt_Info.txt"), earlier);
    EXPECT_TRUE(shell.inEditor.empty());
}

} // namespace
} // namespace veskard::test
