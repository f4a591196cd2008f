#include "app/UnattendedRun.h"
#include "app/LoadStep.h"
#include "engine/Messages.h"
#include "engine/RandomSource.h"
#include "engine/StrongFormat.h"
#include "engine/TextFormats.h"
#include "gui/desktop/NameText.h"
#include "gui/dialogs/NewPasswordDialog.h"
#include "gui/dialogs/PasswordPromptDialog.h"
#include "platform/Clock.h"
#include "support/Encipher.h"
#include "support/TempFolder.h"
#include "support/desktop/ScriptedDesktop.h"
#include "texts/Texts.h"

#include <QDir>
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
using app::LoadStep, app::Switches, app::UnattendedRun;
using gui::CheckValue, gui::ExitFailure, gui::ExitSuccess, gui::Icon, gui::Options;

namespace {

constexpr Switches EncryptShow{true, true, false};
constexpr Switches DecryptShow{false, true, true};

// The unattended run, and the load step that hands it a switch form as the
// program starts: the options first, then the command line, as Windows hands
// it over (one text) or POSIX (the arguments' bytes).
class UnattendedRunTest : public testing::Test {
protected:
    UnattendedRunTest()
        : previousFolder_(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(folder.path().string()));
        test::writeFile(file, plain);
        test::writeFile(settings, settingsBytes);
    }
    ~UnattendedRunTest() override { QDir::setCurrent(previousFolder_); }

    template <typename Dialog> void will(std::function<void(Dialog&)> act) {
        person_ = std::make_shared<test::NextDialog<Dialog>>(std::move(act));
    }
    static void cancel(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    }

    void expectUntouched() { EXPECT_EQ(test::readFile(file), plain); }

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

    test::TempFolder folder;
    const std::vector<std::byte> plain = test::patternBytes(5000);
    const std::filesystem::path file = folder.path() / std::filesystem::path(u8"报告 1.doc");
    const QString name = QStringLiteral("报告 1.doc");
    test::ScriptedMessageBoxes boxes;
    engine::SystemRandom random;
    platform::SystemClock clock;
    engine::FixedTextFormats formats;
    UnattendedRun unattended{boxes, random, clock, formats};
    const std::filesystem::path settings = folder / "set.ini";
    // keepOriginal ticked, writeEncryptScript not, writeDecryptScript greyed;
    // then a value no box takes.
    const std::vector<std::byte> settingsBytes = {std::byte{1}, {}, {},           {},
                                                  std::byte{2}, {}, std::byte{9}, std::byte{9}};
    Options options;
    test::RecordingProgramEnd end;
    LoadStep loadStep{boxes, end, unattended, QString::fromStdString(settings.string())};
    // What the window is given when the command line did nothing: no file,
    // and the status the program ends with, a failure for a switch form.
    const LoadStep::Outcome plainNothing{};
    const LoadStep::Outcome switchesNothing{{}, ExitFailure};

private:
    QString previousFolder_;
    std::shared_ptr<void> person_;
};
using LoadStepTest = UnattendedRunTest;

} // namespace

// Refusals are the engine's, shown in a box, before the password (locked
// twice, the file would come back from its first unlock still locked) or
// after it. The set-password dialog's Close button ends the program; Cancel,
// like a wrong password given up, unlocks nothing.
TEST_F(UnattendedRunTest, ARefusalOrNoPasswordLocksAndUnlocksNothing) {
    will<gui::NewPasswordDialog>(test::typing({}));
    boxes.expect(engine::Messages::emptyPassword());
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    will<gui::NewPasswordDialog>(cancel);
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    expectUntouched();

    test::writeFile(file, test::encipher(plain, u"Right", random));
    const std::vector<std::byte> locked = test::readFile(file);
    boxes.expect(engine::Messages::alreadyEnciphered());
    EXPECT_EQ(unattended.run(EncryptShow, name), ExitFailure);
    will<gui::PasswordPromptDialog>(cancel);
    EXPECT_EQ(unattended.run(DecryptShow, name), ExitFailure);
    EXPECT_EQ(test::readFile(file), locked);
}

// Without "/s" success is silent, with "/k" the lock strong; set.ini is read,
// never written. The file is named as a script names it, relative to the
// folder it runs in; unlocking takes either kind.
TEST_F(LoadStepTest, LocksAndUnlocksASwitchFormUnattendedAndEndsTheProgram) {
    will<gui::NewPasswordDialog>(test::typing(QStringLiteral("密码 Abc")));
    EXPECT_EQ(run(QList<QByteArray>{"/k/e", name.toUtf8()}), (LoadStep::Outcome{{}, ExitSuccess}));
    EXPECT_EQ(end.status, ExitSuccess);
    EXPECT_TRUE(engine::hasStrongMagic(engine::MemoryInput(test::readFile(file))));
    EXPECT_EQ(options, (Options{CheckValue::Ticked, CheckValue::Unticked, CheckValue::Greyed}));
    EXPECT_EQ(test::readFile(settings), settingsBytes);

    will<gui::PasswordPromptDialog>(test::typing(QStringLiteral("密码 Abc")));
    boxes.expect(QString(texts::unattended::decrypted), Icon::Exclamation);
    EXPECT_EQ(run(QStringLiteral("/r/s ") + name), (LoadStep::Outcome{{}, ExitSuccess}));
    expectUntouched();
    will<gui::NewPasswordDialog>(test::typing(QStringLiteral("pw")));
    boxes.expect(QString(texts::unattended::encrypted), Icon::Exclamation);
    EXPECT_EQ(run(QStringLiteral("/e/s ") + name), (LoadStep::Outcome{{}, ExitSuccess}));
    EXPECT_EQ(test::decipher(test::readFile(file)), plain);
}

// What the command line names is looked up first: a name that is not text
// (the command line's test shows which), a missing file, a folder or a FIFO
// is told, and the window opens; a script that asked for a job
// learns that it was not done. A plain name goes to the window. On Windows
// "/r" inside the name of one text counts as a switch, and "/e" with "/r" is
// refused.
TEST_F(LoadStepTest, RefusesWhatItCannotRunAndHandsAPlainNameToTheWindow) {
    boxes.expect(QStringLiteral("missing.txt") + QString(texts::unattended::notFound), Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e/s missing.txt")), switchesNothing);
#ifndef _WIN32 // Windows names are UTF-16: none holds bytes that are not text
    boxes.expect(QString(texts::unattended::undecodableName) + QStringLiteral("\\xFF.bin"),
                 Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"/e/s", "\xFF.bin"}), switchesNothing);
#endif
    std::filesystem::create_directory(folder / "r");
    boxes.expect(QStringLiteral("r") + QString(texts::unattended::notAFile), Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"r"}), plainNothing);
#ifndef Q_OS_WIN
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    boxes.expect(QStringLiteral("fifo") + QString(texts::unattended::notAFile), Icon::Stop);
    EXPECT_EQ(run(QList<QByteArray>{"/r", "fifo"}), switchesNothing);
#endif
    EXPECT_EQ(run(name), (LoadStep::Outcome{name}));
    EXPECT_EQ(run(QString()), plainNothing);
    EXPECT_FALSE(end.status.has_value());
    expectUntouched();

    test::writeFile(folder / "r" / "x.txt", plain);
    boxes.expect(QString(texts::unattended::bothSwitches), Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e ./r/x.txt")), switchesNothing);
    EXPECT_EQ(end.status, ExitFailure);
    EXPECT_EQ(test::readFile(folder / "r" / "x.txt"), plain);
}
