#include "Cli.h"
#include "FileState.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

// A replaced file keeps all it is besides its bytes, whoever runs the job:
// owner, group, mode and every extended attribute, byte for byte, those the
// program knows nothing of included. A new file is a fresh one. Run as root,
// the files belong to another user and carry trusted and security
// attributes too.
namespace veskard::test {
namespace {

const bool Root = ::geteuid() == 0;

// The DOS attributes as Samba's newer versions store them: binary, NULs included.
const std::string SambaBinaryForm("\x04\x00\x04\x00\x04\x00\x00\x00\x22\x00\x00\x00\x11\x00", 14);

TEST(MetadataTest, InPlaceJobsKeepOwnerModeAndEveryAttribute) {
    TempFolder folder;
    const std::filesystem::path file = folder / "report.xls";
    for (const std::string& dosAttributes : {std::string("0x2022"), SambaBinaryForm}) {
        writeFile(file, patternBytes(5000, 1));
        std::map<std::string, std::string> attributes{
            {"user.comment", std::string("note\0binary", 11)}, {"user.DOSATTRIB", dosAttributes}};
        if (Root) {
            attributes.insert(
                {{"security.veskard-test", "label"}, {"trusted.veskard-test", "mark"}});
        }
        if (!setMetadata(file, 0640, NobodyId, attributes))
            GTEST_SKIP() << "no extended attributes here";
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
    }
}

TEST(MetadataTest, ReplacedOutputKeepsItsOwnNewOutputIsFresh) {
    TempFolder folder;
    const std::filesystem::path source = folder / "source";
    const std::filesystem::path locked = folder / "locked";
    const std::filesystem::path out = folder / "out";
    writeFile(source, patternBytes(5000, 2));
    ASSERT_TRUE(setMetadata(source, 0600, 0, {{"user.comment", "the source's"}}));
    writeFile(locked, patternBytes(7000, 3));
    ASSERT_EQ(lock(locked, "pw").exitCode, 0);
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
    const Metadata fresh{S_IFREG | (0666 & ~umask), ::geteuid(), ::getegid(), {}};
    EXPECT_EQ(lock(source, "pw", {"-o", utf8(folder / "new.vsk")}).exitCode, 0);
    EXPECT_EQ(unlock(locked, "pw", {"-o", utf8(folder / "new.bin")}).exitCode, 0);
    EXPECT_EQ(metadataOf(folder / "new.vsk"), fresh);
    EXPECT_EQ(metadataOf(folder / "new.bin"), fresh);
}

} // namespace
} // namespace veskard::test
