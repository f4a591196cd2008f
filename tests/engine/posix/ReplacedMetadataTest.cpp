#include "engine/DecryptJob.h"
#include "engine/EncryptJob.h"
#include "support/FixedClock.h"
#include "support/RecordingEvents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace veskard;
using namespace veskard::engine;

namespace {

// Owner, group, mode and every extended attribute, byte for byte.
struct Metadata {
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::map<std::string, std::string> attributes;
    bool operator==(const Metadata&) const = default;
};

Metadata metadataOf(const std::filesystem::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    Metadata metadata{info.st_uid, info.st_gid, info.st_mode & 07777, {}};
    char names[4096];
    const ssize_t length = ::listxattr(file.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t size = ::getxattr(file.c_str(), names + at, value, sizeof value);
        metadata.attributes[names + at] = std::string(value, static_cast<std::size_t>(size));
    }
    return metadata;
}

// An access list that also lets user 65534 read: owner rw, that user r, group
// r, mask r, others nothing (mode 0640), in the kernel's binary form.
std::string accessList() {
    const auto entry = [](std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &tag, 2);
        std::memcpy(bytes.data() + 2, &permissions, 2);
        std::memcpy(bytes.data() + 4, &id, 4);
        return bytes;
    };
    const std::uint32_t version = 2;
    const std::uint32_t none = 0xFFFFFFFF;
    return std::string(reinterpret_cast<const char*>(&version), 4) + entry(0x01, 6, none) +
           entry(0x02, 4, 65534) + entry(0x04, 4, none) + entry(0x10, 4, none) +
           entry(0x20, 0, none);
}

} // namespace

TEST(ReplacedMetadata, OwnerModeAndEveryExtendedAttributeStayAndANewFileGetsNone) {
    test::TempFolder folder;
    test::RecordingEvents events;
    const test::FixedClock clock(test::localTime(2026, 12, 6, 9, 30, 10));
    SystemRandom random;
    const FixedTextFormats formats;
    const auto file = folder / "shared.doc";
    test::writeFile(file, test::patternBytes(5000));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const std::string attributes[][2] = {{"user.DOSATTRIB", std::string("0x2022", 6)},
                                         {"user.comment", std::string("note\0binary", 11)},
                                         {"system.posix_acl_access", accessList()}};
    for (const auto& [name, value] : attributes) {
        if (::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) {
            GTEST_SKIP() << "no " << name << " here: " << std::strerror(errno);
        }
    }
    // A root run on another user's file leaves it theirs.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    const Metadata before = metadataOf(file);
    ASSERT_EQ(before.attributes.size(), 3u);

    EncryptJob encrypt({events, clock, random, formats});
    ASSERT_TRUE(encrypt.load(file).ok());
    ASSERT_TRUE(encrypt.encipherTo(file, u"pw").ok());
    EXPECT_EQ(metadataOf(file), before);

    DecryptJob decrypt({events, clock, random, formats});
    ASSERT_TRUE(decrypt.openEnciphered(file).ok());
    ASSERT_TRUE(decrypt.restoreTo(folder / "new.doc").ok());
    const mode_t umask = ::umask(0);
    ::umask(umask);
    const Metadata fresh = metadataOf(folder / "new.doc");
    EXPECT_EQ(fresh.mode, 0666 & ~umask);
    EXPECT_EQ(fresh.owner, ::geteuid());
    EXPECT_EQ(fresh.attributes.count("user.comment") + fresh.attributes.count("user.DOSATTRIB"),
              0u);

    ASSERT_TRUE(decrypt.openEnciphered(file).ok());
    ASSERT_TRUE(decrypt.restoreTo(file).ok());
    EXPECT_EQ(test::readFile(file), test::patternBytes(5000));
    EXPECT_EQ(metadataOf(file), before);
}
