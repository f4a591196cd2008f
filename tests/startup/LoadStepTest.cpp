#include "startup/LoadStep.h"

#include "UnattendedFixture.h"

using namespace veskard;
using desktop::Icon;
using startup::CheckValue;
using startup::LoadStep;
using startup::Options;
using startup::UnattendedRun;

namespace {

class LoadStepTest : public test::UnattendedFixture {
protected:
    LoadStepTest() {
        test::writeFile(settings, settingsBytes);
        test::writeFile(folder / "data.bin", test::patternBytes(300));
    }

    QString run(const QString& commandLine) { return loadStep.run({commandLine, {}}, options); }

    const std::filesystem::path settings = folder / "set.ini";
    // Check1 ticked, Check2 not, Check3 greyed; and two bytes more.
    const std::vector<std::byte> settingsBytes = {std::byte{1}, {}, {},           {},
                                                  std::byte{2}, {}, std::byte{9}, std::byte{9}};
    Options options;
    LoadStep loadStep{boxes, end, unattended, QString::fromStdString(settings.string())};
};

} // namespace

// The options are loaded first; the run ends the program with its status and
// leaves "set.ini" as it was.
TEST_F(LoadStepTest, RunsASwitchFormNamingAFileUnattended) {
    willSetPassword(QStringLiteral("pw"));
    boxes.expect(UnattendedRun::EncryptedText, Icon::Exclamation);
    EXPECT_EQ(run(QStringLiteral("/e/s data.bin")), QString());
    EXPECT_EQ(end.status, desktop::ExitSuccess);
    EXPECT_EQ(lockedWith(folder / "data.bin"), u"pw");
    EXPECT_EQ(options, (Options{CheckValue::Ticked, CheckValue::Unticked, CheckValue::Greyed}));
    EXPECT_EQ(test::readFile(settings), settingsBytes);
}

// "/r" inside the file name counts as a switch too.
TEST_F(LoadStepTest, FindsSwitchesInTheFileName) {
    std::filesystem::create_directory(folder / "r");
    test::writeFile(folder / "r" / "x.txt", test::patternBytes(300));
    boxes.expect(UnattendedRun::BothSwitchesText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e ./r/x.txt")), QString());
    EXPECT_EQ(end.status, desktop::ExitFailure);
}

// A missing file is reported once, and the window opens; so does a plain
// command line, which "/E" is (no switch).
TEST_F(LoadStepTest, ReportsAMissingFileAndGoesOn) {
    boxes.expect(QStringLiteral("missing.txt") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/e/s missing.txt")), QString());
    boxes.expect(QStringLiteral("/E data.bin") + LoadStep::NotFoundText, Icon::Stop);
    EXPECT_EQ(run(QStringLiteral("/E data.bin")), QString());
    EXPECT_FALSE(end.status.has_value());
    EXPECT_EQ(test::readFile(folder / "data.bin"), test::patternBytes(300));
}

TEST_F(LoadStepTest, HandsAPlainFileNameToTheWindow) {
    EXPECT_EQ(run(QStringLiteral("data.bin")), QStringLiteral("data.bin"));
    EXPECT_EQ(run(QString()), QString());
    EXPECT_FALSE(end.status.has_value());
}
