#include "ShownMainWindow.h"

#include "engine/ByteStreams.h"
#include "engine/EngineError.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RecordFormat.h"
#include "gui/about/AboutDialog.h"
#include "gui/desktop/NameText.h"
#include "gui/desktop/Paths.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "gui/generator/PasswordGeneratorDialog.h"
#include "gui/mainwindow/MainWindowActions.h"
#include "gui/writers/FileError.h"
#include "gui/writers/SystemScript.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/desktop/Keyboard.h"
#include "support/desktop/NextDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

namespace veskard::testing {
namespace {

using gui::AboutDialog;
using gui::Answer;
using gui::Buttons;
using gui::FlatButton;
using gui::Icon;
using gui::MainWindowControls;
using gui::PasswordGeneratorDialog;

constexpr int PickSource = 0, Encrypt = 1, About = 3, Report = 4, PickEnciphered = 5, Decrypt = 6,
              Generator = 7;

class MainWindowActions : public ShownMainWindow {
protected:
    const MainWindowControls& c = window.controls();

    // A file of `size` bytes in the test's folder.
    QString make(const std::string& name, std::size_t size, unsigned seed = 1) {
        test::writeFile(folder / name, test::patternBytes(size, seed));
        return text(folder / name);
    }
    // A script the lock of plan.txt leaves, by its name on this system.
    QString planScript(gui::ScriptAction action) const {
        return text(folder / "plan") + QLatin1Char('/') + gui::systemScriptName(action);
    }
    // A file locked with `password`, as another run of the program left it.
    QString makeLocked(const std::string& name, std::size_t size, const std::u16string& password) {
        test::writeFile(folder / name, test::encipher(test::patternBytes(size), password, random));
        return text(folder / name);
    }
    void fill(const QString& file, const QString& password, const QString& again) {
        c.sourcePathEdit->setText(file);
        test::typeText(c.passwordEdit, password);
        test::typeText(c.confirmPasswordEdit, again);
    }
    void withoutScripts() {
        c.encryptScriptCheck->setChecked(false);
        c.decryptScriptCheck->setChecked(false);
    }
    void chooseEnciphered(const QString& file) {
        pickers.answer(file);
        click(PickEnciphered);
    }
    // Clicks button `index`, and acts in the Dialog it opens. (The mouse
    // lets the event loop run: the dialog is awaited from the release on.)
    template <typename Dialog> void clickInto(int index, std::function<void(Dialog&)> act) {
        FlatButton& flat = button(index);
        moveOnto(flat);
        press(Qt::LeftButton, flat, flat.rect().center());
        test::NextDialog<Dialog> person(std::move(act));
        release(Qt::LeftButton, flat, flat.rect().center());
    }
    // Clicks the decrypt button; in the enter-password dialog that follows
    // the person types `password` and presses Enter.
    void decryptTyping(const QString& password) {
        clickInto<gui::PasswordPromptDialog>(Decrypt, test::typing(password));
    }
    QString log() const { return c.logView->toPlainText(); }

    // The password `file` was locked with, if a job locked it: what it wrote,
    // the engine's and the command line's tests check.
    static std::optional<std::u16string> lockedWith(const QString& file) {
        const std::vector<std::byte> bytes = test::readFile(gui::toPath(file));
        const auto record = engine::readRecord(engine::MemoryInput(bytes));
        return record ? std::optional(engine::decodePassword(record->PassCodes)) : std::nullopt;
    }
    static bool isLocked(const QString& file) { return lockedWith(file).has_value(); }
    static bool exists(const QString& file) { return QFileInfo::exists(file); }

    gui::MainWindowActions& actions() { return *window.findChild<gui::MainWindowActions*>(); }
    // Runs `act` while the first job of the next action runs (posted as it
    // starts, so it comes inside the job's event loop).
    void duringTheJob(std::function<void()> act) {
        QObject::connect(
            &actions(), &gui::MainWindowActions::busyChanged, &window,
            [this, act = std::move(act)] {
                ASSERT_TRUE(actions().busy());
                QMetaObject::invokeMethod(&window, act, Qt::QueuedConnection);
            },
            Qt::SingleShotConnection);
    }
};

TEST_F(MainWindowActions, EncryptChecksItsInputsInOrderAndStopsAtTheFirstThatFails) {
    const QString plan = make("plan.txt", 500);
    boxes.expect("未选择加密文件！    ", Icon::Stop);
    click(Encrypt);

    c.sourcePathEdit->setText(plan);
    boxes.expect("密码不能为空！      ", Icon::Stop);
    click(Encrypt);
    EXPECT_TRUE(c.passwordEdit->hasFocus());

    fill(plan, "Secret", "secret"); // differs in case only
    boxes.expect("密码确认不正确！   ", Icon::Stop);
    click(Encrypt);
    EXPECT_TRUE(c.confirmPasswordEdit->hasFocus());
    EXPECT_EQ(c.confirmPasswordEdit->selectedText(), c.confirmPasswordEdit->text());

    c.confirmPasswordEdit->setText("Secret");
    c.sourcePathEdit->setText(text(folder.path()) + "/");
    boxes.expect("未找到有文件！", Icon::Stop);
    click(Encrypt);

    const QString missing = text(folder / "gone.txt");
    c.sourcePathEdit->setText(missing);
    boxes.expect("“" + missing + "”不存在！  ", Icon::Stop);
    click(Encrypt);
    // A folder is there, but is no file.
    c.sourcePathEdit->setText(text(folder.path()));
    boxes.expect("“" + text(folder.path()) + "”不是普通文件！  ", Icon::Stop);
    click(Encrypt);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_FALSE(isLocked(plan));
}

TEST_F(MainWindowActions, LockingAndUnlockingInPlaceGivesTheFileBackByteForByte) {
    const QString plan = make("plan.txt", 2000);
    fill(plan, "中文Pw", "中文Pw");
    click(Encrypt);

    // The engine's log, its lines as the box shows them (the engine tests pin them).
    EXPECT_TRUE(
        log().startsWith("******** Veskard v1.6 ********\n\n开始时间：2024-03-01 09:30:00"));
    EXPECT_TRUE(log().endsWith("\n加密成功！\n结束时间：2024-03-01 09:30:00\n用时：0秒\n"));
    EXPECT_EQ(c.logView->textCursor().selectionStart(), 0);
    EXPECT_EQ(c.logView->textCursor().selectionEnd(), c.logView->document()->characterCount() - 1);
    EXPECT_TRUE(c.logView->viewport()->rect().contains(c.logView->cursorRect()))
        << "the end in view";
    EXPECT_TRUE(c.sourcePathEdit->text().isEmpty());
    EXPECT_TRUE(c.passwordEdit->text().isEmpty());
    EXPECT_TRUE(c.confirmPasswordEdit->text().isEmpty());
    EXPECT_TRUE(isLocked(plan));
    EXPECT_TRUE(exists(planScript(gui::ScriptAction::Encrypt)));
    EXPECT_TRUE(exists(planScript(gui::ScriptAction::Revert)));

    chooseEnciphered(plan);
    EXPECT_EQ(c.lockedPathLabel->text(), plan);
    boxes.expect("是否直接对“plan.txt”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::Yes);
    boxes.expect("恭喜！恭喜！已成功破解“" + plan + "”        \r\n是否以缺省方式打开它。",
                 Icon::Question, Buttons::YesNo, Answer::Yes);
    const QString logBefore = log();
    decryptTyping("中文Pw");
    EXPECT_FALSE(isLocked(plan));
    EXPECT_EQ(c.restoredPathEdit->text(), plan);
    EXPECT_TRUE(c.lockedPathLabel->text().isEmpty());
    EXPECT_EQ(shell.opened, std::vector<QString>{QDir::fromNativeSeparators(plan)});
    EXPECT_EQ(log(), logBefore) << "decrypting leaves the log alone";

    // Locked again: the scripts' folder is there already, which the person
    // is told, and the boxes keep what they hold.
    fill(plan, "pw", "pw");
    boxes.expect(gui::scriptFolderTakenNotice(text(folder / "plan")));
    click(Encrypt);
    EXPECT_TRUE(isLocked(plan));
    EXPECT_EQ(c.sourcePathEdit->text(), plan);
}

// A locked file locked again comes back from its first unlock still locked:
// the person is asked, and Enter answers No.
TEST_F(MainWindowActions, ALockedFileIsLockedAgainOnlyWhenThePersonSaysSo) {
    const QString locked = makeLocked("locked.doc", 400, u"pw");
    const std::vector<std::byte> record = test::readFile(gui::toPath(locked));
    withoutScripts();
    fill(locked, "again", "again");
    const QString question = "该文件已经加密过，确定要再加密一次吗？";
    boxes.expect(question, Icon::Question, Buttons::YesNoDefaultNo, Answer::No);
    click(Encrypt);
    EXPECT_EQ(test::readFile(gui::toPath(locked)), record);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(c.sourcePathEdit->text(), locked);
    EXPECT_EQ(c.passwordEdit->text(), "again");

    boxes.expect(question, Icon::Question, Buttons::YesNoDefaultNo, Answer::Yes);
    click(Encrypt);
    EXPECT_TRUE(isLocked(locked));
    EXPECT_EQ(test::decipher(test::readFile(gui::toPath(locked))), record);
}

TEST_F(MainWindowActions, LockingIntoAnotherFileAsksForItAndAddsTheSourcesEnding) {
    const QString plan = make("plan.txt", 3000);
    withoutScripts();
    c.keepOriginalCheck->setChecked(true);
    fill(plan, "pw", "pw");

    pickers.answer(""); // cancelled: nothing happens
    click(Encrypt);
    EXPECT_EQ(pickers.requests().back(), (gui::FileRequest{.mode = gui::FileRequest::Mode::Save,
                                                           .filterName = "TXT文件",
                                                           .filterPattern = "*.txt",
                                                           .initialFolder = plan,
                                                           .suggestedName = "plan.txt"}));
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(c.sourcePathEdit->text(), plan);
    EXPECT_EQ(c.passwordEdit->text(), "pw");

    // "copy" becomes copy.txt; as that exists, the person is asked first.
    const QString copy = make("copy.txt", 200, 2);
    pickers.answer(text(folder / "copy"));
    boxes.expect("“" + copy + "”已存在。\n要替换它吗？", Icon::Exclamation, Buttons::YesNo,
                 Answer::No);
    click(Encrypt);
    EXPECT_EQ(test::readFile(folder / "copy.txt"), test::patternBytes(200, 2));

    pickers.answer(text(folder / "copy"));
    boxes.expect("“" + copy + "”已存在。\n要替换它吗？", Icon::Exclamation, Buttons::YesNo,
                 Answer::Yes);
    click(Encrypt);
    EXPECT_TRUE(isLocked(copy));
    EXPECT_FALSE(log().contains("属性")) << "no attribute lines for another file";
    EXPECT_TRUE(c.sourcePathEdit->text().isEmpty());
}

#ifndef _WIN32 // Windows names are UTF-16: none holds bytes that are not text
// A dialog reads the bytes of a name that are not UTF-8 as U+FFFD, and that
// text names the file beside it really named so: refused, nothing chosen.
TEST_F(MainWindowActions, ANameTheDialogCouldNotReadIsRefused) {
    test::writeFile(folder / "\xFF\xFE.txt", test::patternBytes(500));
    const QString read = make("\uFFFD\uFFFD.txt", 500);
    const QString refusal = gui::UndecodableNameText + read;
    pickers.answer(read);
    boxes.expect(refusal, Icon::Stop);
    click(PickSource);
    EXPECT_TRUE(c.sourcePathEdit->text().isEmpty());

    withoutScripts();
    c.keepOriginalCheck->setChecked(true);
    fill(make("plan.txt", 500), "pw", "pw");
    pickers.answer(read);
    boxes.expect(refusal, Icon::Stop);
    click(Encrypt);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(test::readFile(folder / "\uFFFD\uFFFD.txt"), test::patternBytes(500));
    EXPECT_EQ(test::readFile(folder / "\xFF\xFE.txt"), test::patternBytes(500));
}
#endif

TEST_F(MainWindowActions, AFileChosenForUnlockingIsReadOnceAndAForeignOneIsRefused) {
    const QString locked = makeLocked("locked.doc", 400, u"pw");
    chooseEnciphered(locked);
    ASSERT_EQ(c.lockedPathLabel->text(), locked);

    test::writeFile(folder / "locked.doc", test::patternBytes(300)); // no record any more
    chooseEnciphered(locked);                                        // the same again: not read
    EXPECT_EQ(c.lockedPathLabel->text(), locked);

    const QString plain = make("plain.txt", 300);
    boxes.expect(engine::Messages::damagedOrNotEnciphered());
    chooseEnciphered(plain);
    EXPECT_EQ(c.lockedPathLabel->text(), locked);

    pickers.answer(""); // cancelled: the choice stays
    click(PickEnciphered);
    EXPECT_EQ(c.lockedPathLabel->text(), locked);
}

TEST_F(MainWindowActions, AHiddenFileGetsNoScriptsAndIsNotOpened) {
    const QString secret = make("secret.txt", 1500);
    ASSERT_FALSE(platform::writeAttributes(gui::toPath(secret), platform::FileAttribute::Hidden));
    fill(secret, "pw", "pw");
    // Locked, but a hidden file gets no scripts, and the boxes stay filled.
    boxes.expect(*gui::fileFailureNotice(gui::FileError::NotAVisibleFile));
    click(Encrypt);
    EXPECT_TRUE(isLocked(secret));
    EXPECT_FALSE(exists(text(folder / "secret")));
    EXPECT_EQ(c.sourcePathEdit->text(), secret);

    chooseEnciphered(secret);
    boxes.expect("是否直接对“”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::Yes);
    boxes.expect("恭喜！恭喜！已成功破解“" + secret + "”        \r\n是否以缺省方式打开它。",
                 Icon::Question, Buttons::YesNo, Answer::No);
    boxes.expect("文件有隐藏属性，无法打开，请在资源管理器中打开。", Icon::None);
    decryptTyping("pw");
    EXPECT_FALSE(isLocked(secret));
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(MainWindowActions, UnlockingIntoAnotherFileAsksWhereAndNeedsThePassword) {
    boxes.expect("请选择需解密的文件！      ", Icon::Exclamation);
    click(Decrypt);

    const QString locked = makeLocked("report.xls", 700, u"Key");
    chooseEnciphered(locked);
    boxes.expect("是否直接对“report.xls”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::No);
    boxes.expect(gui::PasswordPromptDialog::WrongPasswordText, Icon::Stop, Buttons::YesNo,
                 Answer::No);
    decryptTyping("key");
    EXPECT_TRUE(isLocked(locked)) << "a wrong password unlocks nothing";

    boxes.expect("是否直接对“report.xls”解密？    ", Icon::Exclamation, Buttons::YesNo, Answer::No);
    pickers.answer(text(folder / "restored"));
    const QString restored = text(folder / "restored.xls");
    boxes.expect("恭喜！恭喜！已成功破解“" + restored + "”        \r\n是否以缺省方式打开它。",
                 Icon::Question, Buttons::YesNo, Answer::No);
    decryptTyping("Key");
    EXPECT_EQ(pickers.requests().back().filterPattern, "*.xls");
    EXPECT_EQ(pickers.requests().back().suggestedName, "report.xls");
    EXPECT_TRUE(exists(restored));
    EXPECT_EQ(c.restoredPathEdit->text(), restored);
}

TEST_F(MainWindowActions, ARightClickRunsNothing) {
    const QString plan = make("plan.txt", 500);
    fill(plan, "a", "b");
    for (int index = 0; index < 8; ++index)
        click(index, Qt::RightButton);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(c.sourcePathEdit->text(), plan);
}

TEST_F(MainWindowActions, TheGeneratorAndTheAboutWindowOpenOverTheWindow) {
    const auto closesOverTheWindow = [this](QDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &window);
        dialog.reject();
    };
    clickInto<PasswordGeneratorDialog>(Generator, closesOverTheWindow);
    clickInto<AboutDialog>(About, closesOverTheWindow);
}

TEST_F(MainWindowActions, TheReportAddsTheLogToItsFileAndShowsIt) {
    boxes.expect("无任何报告！    ", Icon::Stop);
    click(Report);

    withoutScripts();
    fill(make("plan.txt", 500), "pw", "pw");
    click(Encrypt);
    click(Report);
    click(Report);

    const QString report = desktop.files.writable("Encrypt_Info.txt");
    const QByteArray entry = log().replace("\n", "\r\n").toLocal8Bit();
    const QByteArray rule = QByteArray(41, '-') + "\r\n";
    const qsizetype banner = QByteArray("******** Veskard v1.6 ********").size();
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), entry + "\r\n" + rule + entry.mid(banner) + "\r\n" + rule);
    EXPECT_EQ(shell.inEditor, (std::vector<QString>{report, report}));
}

// Every dialog a click would open is counted and closed: a fault fails the
// test instead of hanging it.
class DialogCounter {
public:
    DialogCounter() {
        timer_.callOnTimeout([this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++opened;
                dialog->reject();
            }
        });
        timer_.start(0);
    }
    int opened = 0;

private:
    QTimer timer_;
};

TEST_F(MainWindowActions, WhileAJobRunsOnlyClosingTakesInputAndTheActionEndsUnheld) {
    const QString plan = make("plan.txt", 4000);
    fill(plan, "pw", "pw");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    c.sourcePathEdit->setFocus(); // moved on from a disabled box, it must not reach the hidden exit
    int opened = -1;
    duringTheJob([&] {
        DialogCounter dialogs;
        for (const int index :
             {PickSource, Encrypt, About, Report, PickEnciphered, Decrypt, Generator}) {
            SCOPED_TRACE(index);
            EXPECT_FALSE(button(index).isEnabled());
            click(index);
        }
        EXPECT_TRUE(button(2).isEnabled());
        for (QLineEdit* box : {c.sourcePathEdit, c.passwordEdit, c.confirmPasswordEdit})
            EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
        test::typeText(c.passwordEdit, "x");
        QTest::keyClick(c.confirmPasswordEdit, Qt::Key_Return);
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(text(folder / "other.txt"))});
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
        EXPECT_EQ(c.sourcePathEdit->text(), plan);
        EXPECT_EQ(c.passwordEdit->text(), "pw");
        opened = dialogs.opened;
    });
    click(Encrypt);
    EXPECT_EQ(opened, 0) << "a dialog opened, and held the action up until it closed";
    EXPECT_TRUE(isLocked(plan));
    EXPECT_TRUE(c.passwordEdit->text().isEmpty());
    for (int index = 0; index < 8; ++index)
        EXPECT_TRUE(button(index).isEnabled()) << index;
    for (QLineEdit* box : {c.sourcePathEdit, c.passwordEdit, c.confirmPasswordEdit})
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    EXPECT_EQ(window.focusWidget(), c.sourcePathEdit);
    EXPECT_FALSE(end.status);
}

// Alt+C ends the program only once the whole lock is done (two jobs and the
// scripts); closing the window waits the same way, then saves the options.
TEST_F(MainWindowActions, TheHiddenExitAndClosingWaitForTheWholeAction) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QString plan = make("plan.txt", 4000);
    bool wholeLockDone = false;
    end.atEnd = [&] {
        wholeLockDone = isLocked(plan) && exists(planScript(gui::ScriptAction::Revert)) &&
                        c.sourcePathEdit->text().isEmpty();
    };
    fill(plan, "pw", "pw");
    duringTheJob([&] {
        QSignalSpy pressed(c.hiddenExitButton, &QPushButton::clicked);
        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        ASSERT_TRUE(pressed.wait());
        EXPECT_FALSE(end.status);
    });
    click(Encrypt);
    EXPECT_EQ(end.status, gui::ExitSuccess);
    EXPECT_TRUE(wholeLockDone);
    EXPECT_FALSE(exists(desktop.files.writable("set.ini")));

    fill(make("other.txt", 4000), "pw", "pw");
    duringTheJob([&] {
        window.close();
        EXPECT_TRUE(window.isVisible());
    });
    click(Encrypt);
    EXPECT_TRUE(c.sourcePathEdit->text().isEmpty()) << "the whole action ran";
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(exists(desktop.files.writable("set.ini")));
}

// The boxes take a password of any length, and one longer than a record
// holds is refused before anything is written, never cut to fit.
TEST_F(MainWindowActions, APasswordIsTakenWholeAndRefusedWhenARecordCannotHoldIt) {
    const QString plan = make("plan.txt", 2000);
    withoutScripts();
    const QString tooLong(100'000, u'密');
    c.sourcePathEdit->setText(plan);
    test::pasteText(c.passwordEdit, tooLong);
    test::pasteText(c.confirmPasswordEdit, tooLong);
    boxes.expect(engine::Messages::systemFailure(engine::EngineError::PasswordTooLong));
    click(Encrypt);
    EXPECT_EQ(c.passwordEdit->text(), tooLong);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_FALSE(isLocked(plan));

    const QString longest = tooLong.left(65'535);
    for (QLineEdit* box : {c.passwordEdit, c.confirmPasswordEdit}) {
        box->clear();
        test::pasteText(box, longest);
    }
    click(Encrypt);
    EXPECT_EQ(lockedWith(plan), longest.toStdU16String());
}

} // namespace
} // namespace veskard::testing
