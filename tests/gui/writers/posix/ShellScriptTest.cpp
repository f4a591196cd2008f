#include "gui/writers/BatchScripts.h"

#include "gui/desktop/Paths.h"
#include "gui/writers/FileError.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

namespace veskard::test {
namespace {

std::string readText(const std::filesystem::path& path) {
    const std::vector<std::byte> bytes = readFile(path);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// In place of the program: notes its folder and its arguments, NUL after each.
constexpr const char* StandIn = "#!/bin/sh\nprintf '%s\\0' \"$PWD\" \"$@\" >\"$0.arguments\"\n";

// A double click in a file manager runs the script itself. The folder and the
// name hold what a shell or the program's switch search could trip over:
// blanks, a single quote, a line break, and "/r", "/e", "/s" in the path.
TEST(ShellScripts, RunTheProgramOnTheFileWithItsSwitchesAndNothingElse) {
    TempFolder folder;
    const auto programFolder = folder / "stand in";
    std::filesystem::create_directory(programFolder);
    const auto program = programFolder / "Veskard";
    std::ofstream(program) << StandIn;
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const auto fileFolder = folder / "reports" / "etc" / "srv";
    std::filesystem::create_directories(fileFolder);
    const std::string name = "it's a\nplan.doc";
    writeFile(fileFolder / name, patternBytes(200));

    const mode_t previous = ::umask(027);
    const bool written =
        gui::writeScripts(true, true, gui::fromPath(fileFolder / name), gui::fromPath(program))
            .ok();
    ::umask(previous);
    ASSERT_TRUE(written);

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
    TempFolder folder;
    const auto shared = folder / "shared";
    const auto victim = folder / "victim";
    std::filesystem::create_directory(shared);
    std::filesystem::create_directory(victim);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    writeFile(shared / "plan.doc", patternBytes(200));
    const QString file = gui::fromPath(shared / "plan.doc");
    const auto makeScripts = [&] {
        return gui::writeScripts(true, true, file, QStringLiteral("/usr/bin/veskard"));
    };
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    ChildProcess watcher({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c",
                          R"(cd "$0" && exec "$@")", utf8(shared), VESKARD_SWAP_FOLDER_PATH, "plan",
                          utf8(victim)});
    ASSERT_TRUE(watcher.waitForOutput("+"));
    const auto swapped = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!std::filesystem::is_symlink(shared / "plan")) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::yield();
        }
        return true;
    };
    for (int run = 0; run < 200; ++run) {
        (void)makeScripts(); // written into the new folder wherever it went, or refused
        ASSERT_TRUE(swapped()) << "the watcher never acted";
        ASSERT_TRUE(std::filesystem::is_empty(victim)) << "run " << run;
        std::filesystem::remove(shared / "plan");
    }
}

} // namespace
} // namespace veskard::test
