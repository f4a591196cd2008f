#include "Cli.h"
#include "FileState.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

// A replaced file keeps all it is besides its bytes, whoever runs the job:
// owner, group, mode and every extended attribute, byte for byte, those the
// program knows nothing of included. A new file is a fresh one.
namespace veskard::test {
namespace {

const std::string Password = "pw";

// The DOS attributes as Samba's newer versions store them: binary, NULs included.
const std::string SambaBinaryForm("\x04\x00\x04\x00\x04\x00\x00\x00\x22\x00\x00\x00\x11\x00", 14);

class MetadataTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP()
                << "giving files to another user and setting trusted attributes needs root";
    }

    TempFolder folder_;
};

TEST_F(MetadataTest, InPlaceJobsKeepOwnerModeAndEveryAttribute) {
    const std::filesystem::path file = folder_ / "report.xls";
    for (const std::string& dosAttributes : {std::string("0x2022"), SambaBinaryForm}) {
        writeFile(file, patternBytes(5000, 1));
        ASSERT_TRUE(setMetadata(file, 0640, NobodyId,
                                {{"user.comment", "reviewed"},
                                 {"user.DOSATTRIB", dosAttributes},
                                 {"security.veskard-test", "label"},
                                 {"trusted.veskard-test", "mark"}}));
        const ChildOutcome acl = runChild({"setfacl", "-m", "u:1234:r", utf8(file)});
        ASSERT_EQ(acl.exitCode, 0) << "setfacl (package acl): " << acl;
        const Metadata before = metadataOf(file);
        ASSERT_TRUE(before.attributes.contains("system.posix_acl_access")) << before;

        for (const std::string command : {"lock", "unlock"}) {
            const ChildOutcome outcome = cli({command, utf8(file), "--password-stdin"}, "pw\n");
            EXPECT_EQ(outcome.exitCode, 0) << command << ": " << outcome;
            EXPECT_EQ(metadataOf(file), before) << command;
        }
        EXPECT_EQ(readFile(file), patternBytes(5000, 1));
        Metadata after = metadataOf(file);
        EXPECT_EQ(after.attributes["user.DOSATTRIB"], dosAttributes);
    }
}

TEST_F(MetadataTest, ReplacedOutputKeepsItsOwnNewOutputIsFresh) {
    const std::filesystem::path source = folder_ / "source";
    const std::filesystem::path locked = folder_ / "locked";
    const std::filesystem::path out = folder_ / "out";
    writeFile(source, patternBytes(5000, 2));
    ASSERT_TRUE(setMetadata(source, 0600, 0, {{"user.comment", "the source's"}}));
    writeFile(locked, patternBytes(7000, 3));
    ASSERT_EQ(lock(locked, Password).exitCode, 0);
    writeFile(out, patternBytes(300, 4));
    ASSERT_TRUE(setMetadata(out, 0604, NobodyId, {{"user.comment", "the output's own"}}));
    const Metadata outBefore = metadataOf(out);

    for (const auto& [command, from] : {std::pair{"lock", source}, std::pair{"unlock", locked}}) {
        const ChildOutcome outcome =
            cli({command, utf8(from), "-o", utf8(out), "--force", "--password-stdin"}, "pw\n");
        EXPECT_EQ(outcome.exitCode, 0) << command << ": " << outcome;
        EXPECT_EQ(metadataOf(out), outBefore) << command;
    }
    EXPECT_EQ(readFile(out), patternBytes(7000, 3));

    const mode_t umask = ::umask(0);
    ::umask(umask);
    const Metadata fresh{S_IFREG | (0666 & ~umask), 0, 0, {}};
    EXPECT_EQ(lock(source, Password, {"-o", utf8(folder_ / "new.vsk")}).exitCode, 0);
    EXPECT_EQ(unlock(locked, Password, {"-o", utf8(folder_ / "new.bin")}).exitCode, 0);
    EXPECT_EQ(metadataOf(folder_ / "new.vsk"), fresh);
    EXPECT_EQ(metadataOf(folder_ / "new.bin"), fresh);
}

} // namespace
} // namespace veskard::test
