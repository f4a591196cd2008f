#include "gui/mainwindow/MainWindowController.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "engine/StrongFormat.h"
#include "gui/desktop/NameText.h"
#include "gui/writers/FileError.h"
#include "gui/writers/SystemScript.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"
#include "texts/Texts.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::Answer, gui::Buttons, gui::Icon, gui::FocusBox, gui::MainWindowState;
using Controller = gui::MainWindowController;

// The person: boxes and file dialogs answered from their scripts, the
// password typed once and checked, as the dialog does.
struct ScriptedPerson final : gui::MainWindowPerson, ScriptedDesktop {
    QString typed;

    Answer show(const QString& text, Icon icon, Buttons buttons) override {
        return boxes.show(nullptr, text, icon, buttons);
    }
    QString pick(const gui::FileRequest& request) override {
        return pickers.pick(nullptr, request);
    }
    QString askPassword(const gui::PasswordChecker& check) override {
        const QString password = std::exchange(typed, {});
        return check(password) == gui::PasswordVerdict::Right ? password : QString();
    }
    std::optional<QString> generatePassword() override { return std::nullopt; }
    void open(const QString& path) override { shell.opened.push_back(path); }
    engine::JobStatus saveReport(const QString&) override { return engine::JobStatus::success(); }
};

struct Box {
    QString text;
    Icon icon = Icon::Stop;
    Buttons buttons = Buttons::Ok;
    Answer answer = Answer::Ok;
};
Box told(const engine::Notice& notice) {
    return {QString::fromStdString(notice.text), notice.icon};
}

// What a file holds: "plain" as it was made, the password a record stores,
// "strong" for a strong lock, the switches a script starts the program with,
// or "other".
QString held(const QString& name, const std::vector<std::byte>& plain) {
    if (!QFileInfo::exists(name))
        return "none";
    const std::vector<std::byte> bytes = readFile(gui::toPath(name));
    const engine::MemoryInput input(bytes);
    if (bytes == plain)
        return "plain";
    if (const auto record = engine::readRecord(input))
        return QString::fromStdU16String(engine::decodePassword(record->PassCodes));
    if (engine::hasStrongMagic(input))
        return "strong";
    static const QRegularExpression switches(QStringLiteral(" ((/[eksr])+) "));
    const QRegularExpressionMatch match = switches.match(QString::fromUtf8(
        reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    return match.hasMatch() ? match.captured(1) : "other";
}

// One row an action: the boxes before and after, what the person is told and
// answers, the files afterwards. The rows run in turn on one controller in a
// folder of their own, so that paths read as a person types them.
TEST(MainWindowController, RunsEachActionOnWhatTheBoxesShowAndLeavesWhatTheyShowAfter) {
    TempFolder folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(gui::fromPath(folder.path()));
    ScriptedPerson person;
    engine::SystemRandom random;
    FixedClock clock{localTime(2024, 3, 1, 9, 30, 0)};
    engine::FixedTextFormats formats;
    Controller controller{person, random, clock, formats};

    const auto plain = patternBytes(1500);
    for (const char* name : {"plan.txt", "a.txt", "copy.txt", "taken.txt", "s.txt", "\xFF\xFE.txt"})
        writeFile(name, plain);
    writeFile("\uFFFD\uFFFD.txt", plain);
    using gui::ScriptAction::Encrypt, gui::ScriptAction::Revert;
    const auto script = [](const char* scriptFolder, gui::ScriptAction action) {
        return scriptFolder + ("/" + gui::systemScriptName(action));
    };
    for (const char* name : {"locked.doc", "again.doc", "a.doc", "c.xls", "h.doc"})
        writeFile(name, encipher(plain, u"Key", random));
    ASSERT_FALSE(platform::writeAttributes("h.doc", platform::FileAttribute::Hidden));
    std::filesystem::create_directories("taken");
    std::filesystem::create_directories("dir");

    const QString tooLong(65'536, u'密'); // a record holds 65535
    // Greyed, as set.ini may keep it, the option counts.
    const gui::Options copy{gui::CheckValue::Greyed, gui::CheckValue::Unticked,
                            gui::CheckValue::Unticked};
    const gui::Options strong{.strongLock = gui::CheckValue::Ticked};
    const auto relock = [](Answer answer) {
        return Box{"该文件已经加密过，确定要再加密一次吗？", Icon::Question,
                   Buttons::YesNoDefaultNo, answer};
    };
    const auto replace = [](Answer answer) {
        return Box{"“copy.txt”已存在。\n要替换它吗？", Icon::Exclamation, Buttons::YesNo, answer};
    };
    const auto inPlace = [](const char* name, Answer answer) {
        return Box{QStringLiteral("是否直接对“%1”解密？    ").arg(name), Icon::Exclamation,
                   Buttons::YesNo, answer};
    };
    const auto unlocked = [](const char* path, Answer answer) {
        return Box{QStringLiteral("恭喜！恭喜！已成功破解“%1”        \r\n是否以缺省方式打开它。")
                       .arg(path),
                   Icon::Question, Buttons::YesNo, answer};
    };
    const auto locked = [](const char* path) { return MainWindowState{.lockedPath = path}; };
    const auto restored = [](const char* path) { return MainWindowState{.restoredPath = path}; };
    const auto encrypt = &Controller::encrypt, decrypt = &Controller::decrypt;
    const auto pickLocked = &Controller::pickLocked;

    const struct {
        gui::ActionOutcome (Controller::*action)(MainWindowState);
        MainWindowState in;
        std::vector<Box> boxes;
        std::vector<QString> picked;
        std::optional<MainWindowState> out; // none: as they were
        FocusBox focus = {};
        std::vector<std::pair<QString, QString>> files = {}; // name, held
        QString typed = {};
    } rows[] = {
        // clang-format off
        {&Controller::saveReport, {}, {{"无任何报告！    "}}, {}, {}},
        // The checks before a lock, in their order.
        {encrypt, {"", "", "x"}, {{"未选择加密文件！    "}}, {}, {}},
        {encrypt, {"plan.txt", "", "x"}, {{"密码不能为空！      "}}, {}, {}, FocusBox::Password},
        {encrypt, {"plan.txt", "Pw", "pw"}, {{"密码确认不正确！   "}}, {}, {}, FocusBox::Confirmation},
        {encrypt, {"dir/", tooLong, tooLong}, {told(engine::Messages::systemFailure(
         engine::EngineError::PasswordTooLong))}, {}, {}, FocusBox::Password},
        {encrypt, {"dir/", "pw", "pw"}, {{"未找到有文件！"}}, {}, {}},
        {encrypt, {"gone.txt", "pw", "pw"}, {{"“gone.txt”不存在！  "}}, {}, {}},
        {encrypt, {"dir", "pw", "pw"}, {{"“dir”不是普通文件！  "}}, {}, {}},
        // In place with both scripts; a locked file again only when the person says so.
        {encrypt, {"plan.txt", "中文Pw", "中文Pw"}, {}, {}, MainWindowState{}, {},
         {{"plan.txt", "中文Pw"}, {script("plan", Encrypt), "/e/s"}, {script("plan", Revert), "/r/s"}}},
        {encrypt, {"locked.doc", "pw", "pw"}, {relock(Answer::No)}, {}, {}, {}, {{"locked.doc", "Key"}}},
        {encrypt, {"again.doc", "pw", "pw"}, {relock(Answer::Yes)}, {}, MainWindowState{}, {}, {{"again.doc", "pw"}}},
        // Into another file, given the source's ending, its name trusted.
        {encrypt, {"a.txt", "pw", "pw", copy}, {}, {""}, {}},
        {encrypt, {"a.txt", "pw", "pw", copy}, {replace(Answer::No)}, {"copy"}, {}, {}, {{"copy.txt", "plain"}}},
        {encrypt, {"a.txt", "pw", "pw", copy}, {replace(Answer::Yes)}, {"copy"},
         MainWindowState{.options = copy}, {}, {{"a.txt", "plain"}, {"copy.txt", "pw"}}},
#ifndef Q_OS_WIN // a name that is not UTF-8 comes from the file dialog as U+FFFD
        {encrypt, {"a.txt", "pw", "pw", copy}, {{QString(texts::unattended::undecodableName) + "\uFFFD\uFFFD.txt"}},
         {"\uFFFD\uFFFD.txt"}, {}, {}, {{"\uFFFD\uFFFD.txt", "plain"}, {"\xFF\xFE.txt", "plain"}}},
#endif
        // Locked, but the scripts' folder is taken: the boxes keep what they hold.
        {encrypt, {"taken.txt", "pw", "pw"}, {told(gui::scriptFolderTakenNotice(
         QDir::toNativeSeparators(QDir::current().absoluteFilePath("taken"))))}, {}, {}, {}, {{"taken.txt", "pw"}}},
        // A strong lock takes longer passwords than a record, and its 加密 script locks
        // strongly again. It opens with its password only.
        {encrypt, {"dir/", tooLong, tooLong, strong}, {{"未找到有文件！"}}, {}, {}},
        {encrypt, {"s.txt", "密码", "密码", strong}, {}, {}, MainWindowState{.options = strong}, {},
         {{"s.txt", "strong"}, {script("s", Encrypt), "/e/k/s"}, {script("s", Revert), "/r/s"}}},
        {pickLocked, {}, {}, {"s.txt"}, locked("s.txt")},
        {decrypt, locked("s.txt"), {inPlace("s.txt", Answer::Yes)}, {}, {}, {}, {{"s.txt", "strong"}}, "密"},
        {decrypt, locked("s.txt"), {inPlace("s.txt", Answer::Yes), unlocked("s.txt", Answer::No)},
         {}, restored("s.txt"), {}, {{"s.txt", "plain"}}, "密码"},
        // A file chosen to unlock is read; one that is not locked is refused.
        {decrypt, {}, {{"请选择需解密的文件！      ", Icon::Exclamation}}, {}, {}},
        {pickLocked, {}, {told(engine::Messages::damagedOrNotEnciphered())}, {"a.txt"}, {}},
        {pickLocked, {}, {}, {"a.doc"}, locked("a.doc")},
        {decrypt, locked("a.doc"), {inPlace("a.doc", Answer::Yes)}, {}, {}, {}, {{"a.doc", "Key"}}, "key"},
        {decrypt, locked("a.doc"), {inPlace("a.doc", Answer::Yes), unlocked("a.doc", Answer::Yes)},
         {}, restored("a.doc"), {}, {{"a.doc", "plain"}}, "Key"},
        {pickLocked, {}, {}, {"c.xls"}, locked("c.xls")},
        {decrypt, locked("c.xls"), {inPlace("c.xls", Answer::No), unlocked("r.xls", Answer::No)},
         {"r"}, restored("r.xls"), {}, {{"c.xls", "Key"}, {"r.xls", "plain"}}, "Key"},
        // A hidden file is never handed to another program.
        {pickLocked, {}, {}, {"h.doc"}, locked("h.doc")},
        {decrypt, locked("h.doc"), {inPlace("", Answer::Yes), unlocked("h.doc", Answer::Yes),
         {"文件有隐藏属性，无法打开，请在资源管理器中打开。", Icon::None}}, {}, restored("h.doc"), {},
         {{"h.doc", "plain"}}, "Key"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in.sourcePath.toStdString() + row.in.lockedPath.toStdString());
        for (const Box& box : row.boxes)
            person.boxes.expect(box.text, box.icon, box.buttons, box.answer);
        for (const QString& path : row.picked)
            person.pickers.answer(path);
        person.typed = row.typed;
        EXPECT_EQ((controller.*row.action)(row.in),
                  (gui::ActionOutcome{row.out.value_or(row.in), row.focus}));
        for (const auto& [name, what] : row.files)
            EXPECT_EQ(held(name, plain), what) << name.toStdString();
    }
    EXPECT_EQ(person.shell.opened,
              std::vector{QDir::toNativeSeparators(QDir::current().absoluteFilePath("a.doc"))});
    EXPECT_EQ(
        person.pickers.requests()[0],
        (gui::FileRequest{gui::FileRequest::Mode::Save, "TXT文件", "*.txt", "a.txt", "a.txt"}));
    QDir::setCurrent(previous);
}

} // namespace
} // namespace veskard::test
