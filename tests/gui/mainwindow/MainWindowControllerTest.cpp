#include "gui/mainwindow/MainWindowController.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "gui/desktop/NameText.h"
#include "gui/writers/FileError.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedFilePickers.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QDir>
#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::Answer, gui::Buttons, gui::Icon, gui::FocusBox, gui::MainWindowState;
using Controller = gui::MainWindowController;
using gui::CheckValue::Ticked, gui::CheckValue::Unticked;

// The person: the boxes and the file dialogs answered from their scripts, the
// password typed compared with the one stored as the dialog does.
struct ScriptedPerson final : gui::MainWindowPerson {
    ScriptedMessageBoxes boxes;
    ScriptedFilePickers pickers;
    QString typed;
    std::optional<QString> generated;
    std::vector<QString> opened, reports;

    Answer show(const QString& text, Icon icon, Buttons buttons) override {
        return boxes.show(nullptr, text, icon, buttons);
    }
    QString pick(const gui::FileRequest& request) override {
        return pickers.pick(nullptr, request);
    }
    QString askPassword(const QString& stored) override {
        return std::exchange(typed, {}) == stored ? stored : QString();
    }
    std::optional<QString> generatePassword() override { return generated; }
    void open(const QString& path) override { opened.push_back(path); }
    engine::JobStatus saveReport(const QString& log) override {
        reports.push_back(log);
        return engine::JobStatus::success();
    }
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

// What a file holds afterwards: the content it was made with, that content
// locked with the password given, anything, or nothing.
enum class Held { Plain, Locked, There, Absent };
struct File {
    QString name;
    Held held;
    QString password = {};
};

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
    QString log, restoredShown;
    QObject::connect(&controller, &Controller::logShown, [&](const QString& text) { log = text; });
    QObject::connect(&controller, &Controller::restoredPathShown,
                     [&](const QString& text) { restoredShown = text; });

    const auto plain = patternBytes(1500);
    for (const char* name : {"plan.txt", "a.txt", "copy.txt", "hidden.txt", "taken.txt", "l.txt"})
        writeFile(name, plain);
    for (const char* name : {"locked.doc", "again.doc", "a.doc", "b.doc", "c.xls", "h.doc"})
        writeFile(name, encipher(plain, u"Key", random));
    for (const char* hidden : {"hidden.txt", "h.doc"})
        ASSERT_FALSE(platform::writeAttributes(hidden, platform::FileAttribute::Hidden));
    std::filesystem::create_directories("taken");
    std::filesystem::create_directories("dir");
    writeFile("\xFF\xFE.txt", plain);
    writeFile("\uFFFD\uFFFD.txt", plain);

    const QString longest(65'535, u'密'), tooLong = longest + u'密';
    const gui::Options none{Unticked, Unticked, Unticked}, copy{Ticked, Unticked, Unticked};
    const Box relock{"该文件已经加密过，确定要再加密一次吗？", Icon::Question,
                     Buttons::YesNoDefaultNo};
    const Box replace{"“copy.txt”已存在。\n要替换它吗？", Icon::Exclamation, Buttons::YesNo};
    const auto answered = [](Box box, Answer answer) { return box.answer = answer, box; };
    const auto inPlace = [](const char* name, Answer answer) {
        return Box{QStringLiteral("是否直接对“%1”解密？    ").arg(name), Icon::Exclamation,
                   Buttons::YesNo, answer};
    };
    const auto unlocked = [](const char* path, Answer answer) {
        return Box{QStringLiteral("恭喜！恭喜！已成功破解“%1”        \r\n是否以缺省方式打开它。")
                       .arg(path),
                   Icon::Question, Buttons::YesNo, answer};
    };
    const Box undecodable{gui::UndecodableNameText + "\uFFFD\uFFFD.txt"};
    // What an action makes of the boxes; none: leaves them as they were.
    using Change = std::function<MainWindowState(MainWindowState)>;
    const Change emptied = [](MainWindowState s) {
        s.sourcePath = s.password = s.confirmation = QString();
        return s;
    };
    const auto picked = [](QString path) {
        return Change([path](MainWindowState s) { return s.sourcePath = path, s; });
    };
    const auto chosen = [](QString path) {
        return Change([path](MainWindowState s) { return s.lockedPath = path, s; });
    };
    const auto restored = [](QString path) {
        return Change(
            [path](MainWindowState s) { return s.lockedPath = "", s.restoredPath = path, s; });
    };
    const auto lockedIs = [](const char* path) { return MainWindowState{.lockedPath = path}; };
    const auto encrypt = &Controller::encrypt, decrypt = &Controller::decrypt;
    const auto pickSource = &Controller::pickSource, pickLocked = &Controller::pickLocked;
    const auto report = &Controller::saveReport, generate = &Controller::generatePassword;

    const struct {
        gui::ActionOutcome (Controller::*action)(MainWindowState);
        MainWindowState in;
        std::vector<Box> boxes;
        std::vector<QString> picked;
        Change out;
        FocusBox focus = {};
        std::vector<File> files = {};
        QString typed = {};
    } rows[] = {
        // clang-format off
        {report, {}, {{"无任何报告！    "}}, {}, {}},
        // The checks before a lock, in their order.
        {encrypt, {"", "", "x"}, {{"未选择加密文件！    "}}, {}, {}},
        {encrypt, {"plan.txt", "", "x"}, {{"密码不能为空！      "}}, {}, {}, FocusBox::Password},
        {encrypt, {"plan.txt", "Pw", "pw"}, {{"密码确认不正确！   "}}, {}, {}, FocusBox::Confirmation,
         {{"plan.txt", Held::Plain}}},
        {encrypt, {"dir/", tooLong, tooLong}, {told(engine::Messages::systemFailure(
         engine::EngineError::PasswordTooLong))}, {}, {}, FocusBox::Password},
        {encrypt, {"dir/", "pw", "pw"}, {{"未找到有文件！"}}, {}, {}},
        {encrypt, {"gone.txt", "pw", "pw"}, {{"“gone.txt”不存在！  "}}, {}, {}},
        {encrypt, {"dir", "pw", "pw"}, {{"“dir”不是普通文件！  "}}, {}, {}},
        // Locks: in place with both scripts, again only when the person says so.
        {encrypt, {"plan.txt", "中文Pw", "中文Pw"}, {}, {}, emptied, {},
         {{"plan.txt", Held::Locked, "中文Pw"}, {"plan/加密.sh", Held::There}}},
        {report, {}, {}, {}, {}},
        {encrypt, {"locked.doc", "pw", "pw", none}, {answered(relock, Answer::No)}, {}, {}, {},
         {{"locked.doc", Held::Locked, "Key"}}},
        {encrypt, {"again.doc", "pw", "pw", none}, {answered(relock, Answer::Yes)}, {}, emptied, {},
         {{"again.doc", Held::Locked, "pw"}}},
        // Into another file, given the source's ending, its name trusted.
        {encrypt, {"a.txt", "pw", "pw", copy}, {}, {""}, {}},
        {encrypt, {"a.txt", "pw", "pw", copy}, {answered(replace, Answer::No)}, {"copy"}, {}, {},
         {{"copy.txt", Held::Plain}}},
        {encrypt, {"a.txt", "pw", "pw", copy}, {answered(replace, Answer::Yes)}, {"copy"}, emptied, {},
         {{"a.txt", Held::Plain}, {"copy.txt", Held::Locked, "pw"}}},
        {encrypt, {"a.txt", "pw", "pw", copy}, {undecodable}, {"\uFFFD\uFFFD.txt"}, {}, {},
         {{"\uFFFD\uFFFD.txt", Held::Plain}, {"\xFF\xFE.txt", Held::Plain}}},
        // Locked, but without scripts: the boxes keep the file and the password.
        {encrypt, {"hidden.txt", "pw", "pw"}, {told(*gui::fileFailureNotice(
         gui::FileError::NotAVisibleFile))}, {}, {}, {}, {{"hidden", Held::Absent}}},
        {encrypt, {"taken.txt", "pw", "pw"}, {told(gui::scriptFolderTakenNotice(
         QDir::current().absoluteFilePath("taken")))}, {}, {}, {},
         {{"taken.txt", Held::Locked, "pw"}, {"taken/加密.sh", Held::Absent}}},
        {encrypt, {"l.txt", longest, longest, none}, {}, {}, emptied, {},
         {{"l.txt", Held::Locked, longest}}},
        {pickSource, {"x"}, {}, {"plan.txt"}, picked("plan.txt")},
        {pickSource, {"x"}, {undecodable}, {"\uFFFD\uFFFD.txt"}, emptied},
        {generate, {"a", "b", "c"}, {}, {}, {}},
        // A file chosen to unlock is read; one that is not locked is refused.
        {decrypt, {}, {{"请选择需解密的文件！      ", Icon::Exclamation}}, {}, {}},
        {pickLocked, {}, {told(engine::Messages::damagedOrNotEnciphered())}, {"a.txt"}, {}},
        {pickLocked, {}, {}, {"a.doc"}, chosen("a.doc")},
        {pickLocked, lockedIs("a.doc"), {}, {""}, {}},
        {decrypt, lockedIs("a.doc"), {inPlace("a.doc", Answer::Yes)}, {}, {}, {},
         {{"a.doc", Held::Locked, "Key"}}, "key"},
        {decrypt, lockedIs("a.doc"), {inPlace("a.doc", Answer::Yes), unlocked("a.doc", Answer::Yes)},
         {}, restored("a.doc"), {}, {{"a.doc", Held::Plain}}, "Key"},
        {pickLocked, {}, {}, {"c.xls"}, chosen("c.xls")},
        {decrypt, lockedIs("c.xls"), {inPlace("c.xls", Answer::No), unlocked("r.xls", Answer::No)},
         {"r"}, restored("r.xls"), {}, {{"c.xls", Held::Locked, "Key"}, {"r.xls", Held::Plain}}, "Key"},
        // A hidden file is never handed to another program.
        {pickLocked, {}, {}, {"h.doc"}, chosen("h.doc")},
        {decrypt, lockedIs("h.doc"), {inPlace("", Answer::Yes), unlocked("h.doc", Answer::Yes),
         {"文件有隐藏属性，无法打开，请在资源管理器中打开。", Icon::None}}, {}, restored("h.doc"), {},
         {{"h.doc", Held::Plain}}, "Key"},
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
                  (gui::ActionOutcome{row.out ? row.out(row.in) : row.in, row.focus}));
        for (const auto& [name, held, password] : row.files) {
            const auto bytes = readFile(gui::toPath(name));
            const auto record = engine::readRecord(engine::MemoryInput(bytes));
            EXPECT_EQ(QFileInfo::exists(name), held != Held::Absent) << name.toStdString();
            if (held == Held::Plain) {
                EXPECT_EQ(bytes, plain) << name.toStdString();
            }
            if (held == Held::Locked) {
                EXPECT_EQ(record ? engine::decodePassword(record->PassCodes) : u"-",
                          password.toStdU16String());
            }
        }
    }
    person.generated = "Ab3";
    EXPECT_EQ(controller.generatePassword({"a", "b", "c"}).state,
              (MainWindowState{"a", "Ab3", "Ab3"}));
    EXPECT_EQ(person.reports.size(), 1);
    EXPECT_TRUE(person.reports.front().endsWith(
        "\r\n加密成功！\r\n结束时间：2024-03-01 09:30:00\r\n用时：0秒\r\n"));
    EXPECT_TRUE(log.endsWith("用时：0秒\r\n")) << "unlocking leaves the log alone";
    EXPECT_EQ(restoredShown, "h.doc") << "shown while the person is asked";
    EXPECT_EQ(person.opened, std::vector{QDir::current().absoluteFilePath("a.doc")});
    const auto save = gui::FileRequest::Mode::Save;
    EXPECT_EQ(person.pickers.requests()[0],
              (gui::FileRequest{save, "TXT文件", "*.txt", "a.txt", "a.txt"}));
    EXPECT_EQ(person.pickers.requests()[10],
              (gui::FileRequest{save, "XLS文件", "*.xls", "", "c.xls"}));
    QDir::setCurrent(previous);
}

} // namespace
} // namespace veskard::test
