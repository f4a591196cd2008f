#include "Cli.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>

// Offsets and sizes past 4 GiB, which 32 bits cannot hold: a sparse file, so
// that only the lock's and unlock's own writes cost time and disk.
namespace veskard::test {
namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
constexpr std::uint64_t Size = (std::uint64_t{4} << 30) + 64 * 1024 + 7;
constexpr std::size_t MarkSize = 4096;

TEST(LargeFileTest, SparseFilePast4GiBLocksAndUnlocksInPlace) {
    TempFolder folder;
    std::error_code error;
    if (std::filesystem::space(folder.path(), error).available < 3 * Size)
        GTEST_SKIP() << "needs " << 3 * Size / MiB << " MiB free in " << folder.path();
    const std::filesystem::path file = folder / "large.img";
    { std::ofstream out(file, std::ios::binary); }
    std::filesystem::resize_file(file, Size);
    // Data of its own every 256 MiB, across the 4 GiB line, and at the very
    // end; zeros everywhere else. A sparse copy keeps it to compare with.
    std::vector<std::uint64_t> marks{(std::uint64_t{4} << 30) - MarkSize / 2, Size - MarkSize};
    for (std::uint64_t at = 0; at + MarkSize <= Size; at += 256 * MiB)
        marks.push_back(at);
    {
        std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const std::vector<std::byte> mark = patternBytes(MarkSize, static_cast<unsigned>(i));
            out.seekp(static_cast<std::streamoff>(marks[i]));
            out.write(reinterpret_cast<const char*>(mark.data()), MarkSize);
        }
    }
    const std::filesystem::path original = folder / "original.img";
    ASSERT_EQ(runChild({"cp", "--sparse=always", utf8(file), utf8(original)}).exitCode, 0);

    ASSERT_TRUE(ended(lock(file, "pw"), 0));
    const ChildOutcome info = cli({"info", utf8(file)});
    EXPECT_NE(info.out.find("原文件大小：" + std::to_string(Size) + " 字节"), std::string::npos)
        << info;
    ASSERT_TRUE(ended(unlock(file, "pw"), 0));
    EXPECT_TRUE(ended(runChild({"cmp", utf8(file), utf8(original)}), 0));
}

} // namespace
} // namespace veskard::test
