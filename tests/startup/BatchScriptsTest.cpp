#include "startup/BatchScripts.h"

#include "engine/Notice.h"
#include "platform/FileAttributes.h"
#include "startup/FileError.h"
#include "startup/SystemScript.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace veskard::test {
namespace {

using startup::FileError;
using startup::MakeBatFile;
using startup::ScriptAction;
using startup::systemScriptName;

QString qt(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

std::filesystem::path fs(const QString& name) {
    return name.toStdU16String();
}

QByteArray contentOf(const std::filesystem::path& path) {
    const std::vector<std::byte> bytes = readFile(path);
    return {reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())};
}

std::set<std::filesystem::path> listing(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

class BatchScripts : public testing::Test {
protected:
    TempFolder folder;
    // The scripts name the program; it need not exist to be named.
    const QString program = qt(folder / "bin" / "Veskard");

    QString fileNamed(const std::string& name, platform::FileAttributes attributes = {}) {
        writeFile(folder / name, patternBytes(200));
        EXPECT_FALSE(platform::writeAttributes(folder / name, attributes));
        return qt(folder / name);
    }
};

TEST_F(BatchScripts, WritesTheChosenScriptsIntoANewFolderNamedAfterTheFile) {
    const struct {
        bool encrypt;
        bool revert;
    } choices[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& choice : choices) {
        TempFolder scratch;
        writeFile(scratch / "plan.doc", patternBytes(200));
        const QString file = qt(scratch / "plan.doc");

        EXPECT_TRUE(MakeBatFile(choice.encrypt, choice.revert, file, program).ok());

        std::set<std::filesystem::path> expected;
        if (choice.encrypt)
            expected.insert(fs(systemScriptName(ScriptAction::Encrypt)));
        if (choice.revert)
            expected.insert(fs(systemScriptName(ScriptAction::Revert)));
        if (expected.empty()) {
            EXPECT_EQ(listing(scratch.path()), std::set<std::filesystem::path>{"plan.doc"});
            continue;
        }
        EXPECT_EQ(listing(scratch / "plan"), expected);
        for (const ScriptAction action : {ScriptAction::Encrypt, ScriptAction::Revert}) {
            const std::filesystem::path name = fs(systemScriptName(action));
            if (expected.contains(name)) {
                EXPECT_EQ(contentOf(scratch / "plan" / name),
                          startup::systemScript(action, program, file).text);
            }
        }
    }
}

TEST_F(BatchScripts, RelativeNameIsTakenFromTheCurrentFolderAndNamedInFull) {
    const QString file = fileNamed("plan.doc");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const engine::JobStatus status = MakeBatFile(true, false, QStringLiteral("plan.doc"), program);
    std::filesystem::current_path(previous);

    ASSERT_TRUE(status.ok());
    EXPECT_EQ(contentOf(folder / "plan" / fs(systemScriptName(ScriptAction::Encrypt))),
              startup::systemScript(ScriptAction::Encrypt, program, file).text);
}

TEST_F(BatchScripts, TakenFolderIsASilentRefusalThatKeepsEarlierScripts) {
    const QString plan = fileNamed("plan.doc");
    std::filesystem::create_directory(folder / "plan");
    const auto earlier = folder / "plan" / fs(systemScriptName(ScriptAction::Encrypt));
    writeFile(earlier, {std::byte{'x'}});
    // A four-character name leaves an empty base name: the folder would be the file's own.
    const QString abcd = fileNamed("abcd");

    for (const QString& file : {plan, abcd}) {
        const engine::JobStatus status = MakeBatFile(true, true, file, program);
        EXPECT_EQ(status.cause(), make_error_code(FileError::ScriptFolderTaken));
        EXPECT_EQ(status.notice(), std::nullopt);
    }
    EXPECT_EQ(readFile(earlier), std::vector{std::byte{'x'}});
    EXPECT_EQ(listing(folder / "plan"), std::set{earlier.filename()});
    EXPECT_EQ(listing(folder.path()),
              (std::set<std::filesystem::path>{"plan.doc", "plan", "abcd"}));
}

TEST_F(BatchScripts, FilesItCannotNameAreShownInvalidArgumentsBeforeAnythingIsCreated) {
    const struct {
        QString file;
        FileError error;
        const char* shown;
    } cases[] = {
        {fileNamed("hidden.doc", platform::FileAttribute::Hidden), FileError::NotAVisibleFile,
         "找不到该文件，或者它是隐藏文件或系统文件！    "},
        {fileNamed("system.doc", platform::FileAttribute::System), FileError::NotAVisibleFile,
         "找不到该文件，或者它是隐藏文件或系统文件！    "},
        {qt(folder / "missing.doc"), FileError::NotAVisibleFile,
         "找不到该文件，或者它是隐藏文件或系统文件！    "},
        {fileNamed("a.b"), FileError::NameTooShort, "文件名不足四个字符！    "},
    };
    const auto before = listing(folder.path());
    for (const auto& c : cases) {
        const engine::JobStatus status = MakeBatFile(true, false, c.file, program);
        EXPECT_EQ(status.cause(), make_error_code(c.error));
        EXPECT_EQ(status.cause(), std::errc::invalid_argument);
        EXPECT_EQ(status.notice(), (engine::Notice{engine::Icon::Stop, c.shown}));
    }
    EXPECT_EQ(listing(folder.path()), before);
}

} // namespace
} // namespace veskard::test
