#include "startup/UnattendedRun.h"
#include "dialogs/Form3.h"
#include "dialogs/Form4.h"
#include "engine/ByteStreams.h"
#include "engine/Messages.h"
#include "engine/PasswordCodes.h"
#include "engine/RandomSource.h"
#include "engine/RecordFormat.h"
#include "engine/TextFormats.h"
#include "platform/Clock.h"
#include "platform/FileAttributes.h"
#include "startup/LoadStep.h"
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

// "Veskard /e/s FILE" and "/r/s FILE": the load step that reads the command
// line, and the unattended run it hands a switch form to, with the real
// password dialogs and real files, named as a script names them: relative
// to the folder it runs in.
using namespace veskard;
using desktop::ExitFailure;
using desktop::ExitSuccess;
using desktop::Icon;
using startup::CheckValue;
using startup::LoadStep;
using startup::Options;
using startup::Switches;
using startup::UnattendedRun;

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
    const std::filesystem::path file = folder / "报告 1.doc";
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

    will<dialogs::Form4>(test::typing(QStringLiteral("密码 Abc")));
    boxes.expect(UnattendedRun::EncryptedText, Icon::Exclamation);
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitSuccess);
    EXPECT_EQ(lockedWith(file), u"密码 Abc");
    EXPECT_EQ(test::native::attributeWord(file), test::native::asStored(attributes).bits());

    will<dialogs::Form3>(test::typing(QStringLiteral("密码 Abc")));
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
    will<dialogs::Form4>(test::typing({}));
    boxes.expect(engine::Messages::emptyPassword());
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    expectUntouched();

    will<dialogs::Form4>([](dialogs::Form4& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")), "typed");
        cancel(dialog);
    });
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    EXPECT_EQ(end.status, ExitFailure);
    expectUntouched();

    test::writeFile(file, test::encipher(plain, u"Right", random));
    const std::vector<std::byte> locked = test::readFile(file);
    will<dialogs::Form3>(cancel);
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
}

// The load step, as the program starts: the options first, then the command line.
class LoadStepTest : public UnattendedRunTest {
protected:
    LoadStepTest() { test::writeFile(settings, settingsBytes); }

    QString run(const QString& commandLine) { return loadStep.run({commandLine, {}}, options); }

    const std::filesystem::path settings = folder / "set.ini";
    // Check1 ticked, Check2 not, Check3 greyed; and two bytes more.
    const std::vector<std::byte> settingsBytes = {std::byte{1}, {}, {},           {},
                                                  std::byte{2}, {}, std::byte{9}, std::byte{9}};
    Options options;
    LoadStep loadStep{boxes, end, unattended, QString::fromStdString(settings.string())};
};

// The run ends the program with its status and leaves "set.ini" as it was;
// without "/s" success is silent.
TEST_F(LoadStepTest, RunsASwitchFormNamingAFileUnattended) {
    will<dialogs::Form4>(test::typing(QStringLiteral("pw")));
    EXPECT_EQ(run(QStringLiteral("/e 报告 1.doc")), QString());
    EXPECT_EQ(end.status, ExitSuccess);
    EXPECT_EQ(lockedWith(file), u"pw");
    EXPECT_EQ(options, (Options{CheckValue::Ticked, CheckValue::Unticked, CheckValue::Greyed}));
    EXPECT_EQ(test::readFile(settings), settingsBytes);
}

// "/r" inside the file name counts as a switch too, and "/e" with "/r" is refused.
TEST_F(LoadStepTest, FindsSwitchesInTheFileName) {
    std::filesystem::create_directory(folder / "r");
    test::writeFile(folder / "r" / "x.txt", test::patternBytes(300));
    boxes.expect(UnattendedRun::BothSwitchesText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e ./r/x.txt")), QString());
    EXPECT_EQ(end.status, ExitFailure);
    EXPECT_EQ(test::readFile(folder / "r" / "x.txt"), test::patternBytes(300));
}

// A missing file is reported once, and the window opens; so does a plain
// command line, which "/E" is (no switch). A plain file name goes to the window.
TEST_F(LoadStepTest, ReportsAMissingFileAndHandsAPlainNameToTheWindow) {
    boxes.expect(QStringLiteral("missing.txt") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e/s missing.txt")), QString());
    boxes.expect(QStringLiteral("/E 报告 1.doc") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/E 报告 1.doc")), QString());
    EXPECT_EQ(run(name), name);
    EXPECT_EQ(run(QString()), QString());
    EXPECT_FALSE(end.status.has_value());
    expectUntouched();
}
