#include "app/UnattendedRun.h"
#include "app/LoadStep.h"
#include "engine/ByteStreams.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RandomSource.h"
#include "engine/RecordFormat.h"
#include "engine/TextFormats.h"
#include "gui/desktop/NameText.h"
#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "platform/Clock.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/NativeAttributes.h"
#include "support/TempFolder.h"
#include "support/desktop/Keyboard.h"
#include "support/desktop/NextDialog.h"
#include "support/desktop/RecordingShell.h"
#include "support/desktop/ScriptedMessageBoxes.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// "Veskard /e/s FILE" and "/r/s FILE": the load step that reads the command
// line, and the unattended run it hands a switch form to, with the real
// password dialogs and real files, named as a script names them: relative
// to the folder it runs in.
using namespace veskard;
using app::LoadStep;
using app::Switches;
using app::UnattendedRun;
using gui::CheckValue;
using gui::ExitFailure;
using gui::ExitSuccess;
using gui::Icon;
using gui::Options;

namespace {

constexpr Switches EncryptShow{true, true, false};
constexpr Switches DecryptShow{false, true, true};

class UnattendedRunTest : public testing::Test {
protected:
    UnattendedRunTest()
        : previousFolder_(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(folder.path().string()));
        test::writeFile(file, plain);
    }
    ~UnattendedRunTest() override { QDir::setCurrent(previousFolder_); }

    // The person acts in the next dialog of type Dialog the run opens.
    template <typename Dialog> void will(std::function<void(Dialog&)> act) {
        person_ = std::make_shared<test::NextDialog<Dialog>>(std::move(act));
    }
    static void cancel(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    }

    // The password a file is locked with, or nothing when it holds no record.
    static std::optional<std::u16string> lockedWith(const std::filesystem::path& path) {
        const std::vector<std::byte> bytes = test::readFile(path);
        const Result<engine::CryptRecord> record = engine::readRecord(engine::MemoryInput(bytes));
        if (!record)
            return std::nullopt;
        return engine::decodePassword(record->PassCodes);
    }
    void expectUntouched() { EXPECT_EQ(test::readFile(file), plain); }

    test::TempFolder folder;
    const std::vector<std::byte> plain = test::patternBytes(5000);
    const std::filesystem::path file = folder.path() / std::filesystem::path(u8"报告 1.doc");
    const QString name = QStringLiteral("报告 1.doc");
    test::ScriptedMessageBoxes boxes;
    test::RecordingProgramEnd end;
    engine::SystemRandom random;
    platform::SystemClock clock;
    engine::FixedTextFormats formats;
    UnattendedRun unattended{boxes, end, random, clock, formats};

private:
    QString previousFolder_;
    std::shared_ptr<void> person_;
};

} // namespace

// A hidden read-only file stays both, locked and unlocked: the run must not
// clear them to get at the file.
TEST_F(UnattendedRunTest, LocksAndUnlocksInPlace) {
    const platform::FileAttributes attributes =
        platform::FileAttribute::ReadOnly | platform::FileAttribute::Hidden;
    test::native::storeAttributeWord(file, attributes.bits());

    will<gui::NewPasswordDialog>(test::typing(QStringLiteral("密码 Abc")));
    boxes.expect(UnattendedRun::EncryptedText, Icon::Exclamation);
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitSuccess);
    EXPECT_EQ(lockedWith(file), u"密码 Abc");
    EXPECT_EQ(test::native::attributeWord(file), test::native::asStored(attributes).bits());

    will<gui::PasswordPromptDialog>(test::typing(QStringLiteral("密码 Abc")));
    boxes.expect(UnattendedRun::DecryptedText, Icon::Exclamation);
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitSuccess);
    expectUntouched();
    EXPECT_EQ(test::native::attributeWord(file), test::native::asStored(attributes).bits());
    EXPECT_FALSE(end.status.has_value()) << "the caller ends the program";
}

// An empty password is refused before anything is written; the set-password
// dialog's Close button ends the program; Cancel, like a wrong password given
// up, unlocks nothing (the dialog accepts nothing either way).
TEST_F(UnattendedRunTest, WithoutAPasswordNothingIsLockedOrUnlocked) {
    will<gui::NewPasswordDialog>(test::typing({}));
    boxes.expect(engine::Messages::emptyPassword());
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    expectUntouched();

    will<gui::NewPasswordDialog>([](gui::NewPasswordDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")), "typed");
        cancel(dialog);
    });
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    EXPECT_EQ(end.status, ExitFailure);
    expectUntouched();

    test::writeFile(file, test::encipher(plain, u"Right", random));
    const std::vector<std::byte> locked = test::readFile(file);
    will<gui::PasswordPromptDialog>(cancel);
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);
    EXPECT_EQ(test::readFile(file), locked);
}

// Each refusal is the engine's, shown in a box, naming the file as the script
// did; which refusals there are, and that they touch nothing, the command
// line's tests check.
TEST_F(UnattendedRunTest, TellsWhyAFileCannotBeLockedOrUnlocked) {
    test::writeFile(folder / "empty", {});
    boxes.expect(engine::Messages::zeroSizeFile("empty"));
    EXPECT_EQ(unattended.run(EncryptShow, QStringLiteral("empty")), ExitFailure);
    // Someone who double-clicked a script learns why nothing happened.
    boxes.expect(engine::Messages::damagedOrNotEnciphered());
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);
    // Locked twice, the file would come back from its first unlock still locked.
    test::writeFile(file, test::encipher(plain, u"pw", random));
    const std::vector<std::byte> locked = test::readFile(file);
    boxes.expect(engine::Messages::alreadyEnciphered());
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    EXPECT_EQ(test::readFile(file), locked);
}

// The load step, as the program starts: the options first, then the command
// line, as Windows hands it over (one text) or POSIX (the arguments' bytes).
class LoadStepTest : public UnattendedRunTest {
protected:
    LoadStepTest() { test::writeFile(settings, settingsBytes); }

    LoadStep::Outcome run(const QString& commandLine) {
        return loadStep.run({commandLine, {}}, options);
    }
    LoadStep::Outcome run(const QList<QByteArray>& arguments) {
#ifdef _WIN32 // the arguments as Windows hands them over, joined
        return run(QString::fromUtf8(arguments.join(' ')));
#else
        return loadStep.run({{}, arguments}, options);
#endif
    }

    const std::filesystem::path settings = folder / "set.ini";
    // keepOriginal ticked, writeEncryptScript not, writeDecryptScript greyed;
    // and two bytes more.
    const std::vector<std::byte> settingsBytes = {std::byte{1}, {}, {},           {},
                                                  std::byte{2}, {}, std::byte{9}, std::byte{9}};
    Options options;
    LoadStep loadStep{boxes, end, unattended, QString::fromStdString(settings.string())};
    // What the window is given when the command line did nothing: no file,
    // and the status the program ends with, a failure for a switch form.
    const LoadStep::Outcome plainNothing{};
    const LoadStep::Outcome switchesNothing{{}, ExitFailure};
};

// The run ends the program with its status and leaves "set.ini" as it was;
// without "/s" success is silent.
TEST_F(LoadStepTest, RunsASwitchFormNamingAFileUnattended) {
    will<gui::NewPasswordDialog>(test::typing(QStringLiteral("pw")));
    EXPECT_EQ(run(QList<QByteArray>{"/e", name.toUtf8()}), (LoadStep::Outcome{{}, ExitSuccess}));
    EXPECT_EQ(end.status, ExitSuccess);
    EXPECT_EQ(lockedWith(file), u"pw");
    EXPECT_EQ(options, (Options{CheckValue::Ticked, CheckValue::Unticked, CheckValue::Greyed}));
    EXPECT_EQ(test::readFile(settings), settingsBytes);
}

// On Windows "/r" inside the file name counts as a switch too, and "/e" with
// "/r" is refused.
TEST_F(LoadStepTest, FindsSwitchesInTheFileNameOfOneText) {
    std::filesystem::create_directory(folder / "r");
    test::writeFile(folder / "r" / "x.txt", test::patternBytes(300));
    boxes.expect(UnattendedRun::BothSwitchesText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e ./r/x.txt")), switchesNothing);
    EXPECT_EQ(end.status, ExitFailure);
    EXPECT_EQ(test::readFile(folder / "r" / "x.txt"), test::patternBytes(300));
}

// A missing file is reported once, and the window opens; so does a plain
// command line, which "/E" is (no switch). A plain file name goes to the
// window. A script that asked for a job learns that it was not done.
TEST_F(LoadStepTest, ReportsAMissingFileAndHandsAPlainNameToTheWindow) {
    boxes.expect(QStringLiteral("missing.txt") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e/s missing.txt")), switchesNothing);
    boxes.expect(QStringLiteral("/E 报告 1.doc") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/E 报告 1.doc")), plainNothing);
    EXPECT_EQ(run(name), (LoadStep::Outcome{name}));
    EXPECT_EQ(run(QString()), plainNothing);
    EXPECT_FALSE(end.status.has_value());
    expectUntouched();
}

// A folder, a FIFO or a device is there, but is no file to lock.
TEST_F(LoadStepTest, TellsWhatIsThereButIsNoFile) {
    std::filesystem::create_directory(folder.path() / std::filesystem::path(u8"文件夹"));
    boxes.expect(QStringLiteral("文件夹") + LoadStep::NotAFileText, Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"/e/s", "文件夹"}), switchesNothing);
    boxes.expect(QStringLiteral("文件夹") + LoadStep::NotAFileText, Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"文件夹"}), plainNothing);
#ifndef Q_OS_WIN
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    for (const QByteArray& notAFile : {QByteArray("fifo"), QByteArray("/dev/null")}) {
        boxes.expect(QString::fromUtf8(notAFile) + LoadStep::NotAFileText, Icon::Stop);
        EXPECT_EQ(run(QList<QByteArray>{"/r", notAFile}), switchesNothing);
    }
#endif
    EXPECT_FALSE(end.status.has_value());
}

#ifndef _WIN32 // Windows names are UTF-16: none holds bytes that are not text
// Qt reads the bytes of a POSIX name as UTF-8; those that are not become
// U+FFFD, and the text would name the file beside it that is really named so.
TEST_F(LoadStepTest, RefusesANameThatIsNotTextAndActsOnNoOtherFile) {
    const QByteArray undecodable("\xFF\xFE.bin");
    const std::filesystem::path decoy = folder / "\uFFFD\uFFFD.bin";
    test::writeFile(folder.path() / undecodable.toStdString(), plain);
    test::writeFile(decoy, plain);
    const QString refusal = gui::UndecodableNameText + QStringLiteral("\\xFF\\xFE.bin");
    boxes.expect(refusal, Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"/e/s", undecodable}), switchesNothing);
    boxes.expect(refusal, Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{undecodable}), plainNothing);
    EXPECT_EQ(test::readFile(folder.path() / undecodable.toStdString()), plain);
    EXPECT_EQ(test::readFile(decoy), plain);
    EXPECT_FALSE(end.status.has_value());
}
#endif
