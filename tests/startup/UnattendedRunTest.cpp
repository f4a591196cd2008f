#include "UnattendedFixture.h"

#include "engine/EncryptJob.h"
#include "engine/Messages.h"
#include "engine/OperationLog.h"
#include "platform/FileAttributes.h"
#include "support/Encipher.h"
#include "support/NativeAttributes.h"

using namespace veskard;
using desktop::Answer;
using desktop::Buttons;
using desktop::ExitFailure;
using desktop::ExitSuccess;
using desktop::Icon;
using dialogs::Form3;
using startup::Switches;
using startup::UnattendedRun;

namespace {

constexpr Switches EncryptShow{true, true, false};
constexpr Switches DecryptShow{false, true, true};
constexpr Switches Decrypt{false, false, true};

class UnattendedRunTest : public test::UnattendedFixture {
protected:
    const std::vector<std::byte> plain = test::patternBytes(5000);
    const std::filesystem::path file = folder / "报告 1.doc";
    const QString name = QStringLiteral("报告 1.doc");

    void SetUp() override { test::writeFile(file, plain); }

    void expectUntouched() { EXPECT_EQ(test::readFile(file), plain); }

    // Locks the file, as another run would have; returns its bytes.
    std::vector<std::byte> lockWith(std::u16string_view password) {
        test::writeFile(file, test::encipher(plain, password, random));
        return test::readFile(file);
    }
};

} // namespace

// A hidden read-only file stays both, locked and unlocked; without "/s"
// success is silent.
TEST_F(UnattendedRunTest, LocksAndUnlocksInPlace) {
    const platform::FileAttributes attributes =
        platform::FileAttribute::ReadOnly | platform::FileAttribute::Hidden;
    test::native::storeAttributeWord(file, attributes.bits());

    willSetPassword(QStringLiteral("密码 Abc"));
    boxes.expect(UnattendedRun::EncryptedText, Icon::Exclamation);
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitSuccess);
    EXPECT_EQ(lockedWith(file), u"密码 Abc");
    EXPECT_EQ(test::native::attributeWord(file), test::native::asStored(attributes).bits());

    willEnterPasswords({QStringLiteral("密码 Abc")});
    EXPECT_EQ(unattended.run(Decrypt, name), ExitSuccess);
    expectUntouched();
    EXPECT_EQ(test::native::attributeWord(file), test::native::asStored(attributes).bits());
    EXPECT_FALSE(end.status.has_value()) << "the caller ends the program";
}

TEST_F(UnattendedRunTest, AWrongPasswordCanBeRetypedAfterYes) {
    lockWith(u"Right");
    willEnterPasswords({QStringLiteral("right"), QStringLiteral("Right")});
    boxes.expect(Form3::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::Yes);
    boxes.expect(UnattendedRun::DecryptedText, Icon::Exclamation);
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitSuccess);
    expectUntouched();
}

// No after a wrong password, Cancel, and closing the dialog unlock nothing.
TEST_F(UnattendedRunTest, UnlocksNothingWithoutTheRightPassword) {
    const std::vector<std::byte> locked = lockWith(u"Right");

    willEnterPasswords({QStringLiteral("wrong")});
    boxes.expect(Form3::WrongPasswordText, Icon::Stop, Buttons::YesNo, Answer::No);
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);

    willEnterPasswords([](Form3& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);

    willEnterPasswords([](Form3& dialog) { dialog.close(); });
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);
    EXPECT_EQ(test::readFile(file), locked);
}

TEST_F(UnattendedRunTest, TheSetPasswordDialogsCloseButtonEndsTheProgram) {
    willSetPassword([](dialogs::Form4& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("Text1")),
                         QStringLiteral("typed"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    EXPECT_EQ(end.status, ExitFailure);
    expectUntouched();
}

TEST_F(UnattendedRunTest, AnEmptyPasswordIsRefusedBeforeAnythingIsWritten) {
    const engine::Notice refusal = engine::Messages::emptyPassword();
    expectUntouched();
    willSetPassword(QString());
    boxes.expect(refusal);
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    expectUntouched();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "no temporary file is left";
}

TEST_F(UnattendedRunTest, RefusesToLockAndUnlockAtOnce) {
    boxes.expect(UnattendedRun::BothSwitchesText, Icon::Stop);
    EXPECT_EQ(unattended.run({true, true, true}, name), ExitFailure);
    expectUntouched();
}

// Each refusal is the engine's; the file stays as it was.
TEST_F(UnattendedRunTest, TellsWhyAFileCannotBeLockedOrUnlocked) {
    test::writeFile(folder / "empty", {});
    test::writeFile(folder / "small", test::patternBytes(100));
    boxes.expect(engine::Messages::zeroSizeFile("empty"));
    EXPECT_EQ(unattended.run(EncryptShow, QStringLiteral("empty")), ExitFailure);
    boxes.expect(engine::Messages::fileTooSmall());
    EXPECT_EQ(unattended.run(EncryptShow, QStringLiteral("small")), ExitFailure);

    boxes.expect(engine::Messages::noDataInFile("empty"));
    EXPECT_EQ(unattended.run(DecryptShow, QStringLiteral("empty")), ExitFailure);
    // Someone who double-clicked a script learns why nothing happened.
    boxes.expect(engine::Messages::damagedOrNotEnciphered());
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);

    expectUntouched();
    EXPECT_EQ(test::readFile(folder / "small"), test::patternBytes(100));
    EXPECT_EQ(std::filesystem::file_size(folder / "empty"), 0u);
}
