#include "Cli.h"

#include <fstream>

// Past 4 GiB, which 32 bits cannot hold: a sparse file, so that only the
// lock's and unlock's own writes cost time and disk.
namespace veskard::test {
namespace {

TEST(LargeFileTest, SparseFilePast4GiBLocksAndUnlocksInPlace) {
    constexpr std::uint64_t Size = (std::uint64_t{4} << 30) + 64 * 1024 + 7, Mark = 4096;
    TempFolder folder;
    std::error_code error;
    if (std::filesystem::space(folder.path(), error).available < 3 * Size)
        GTEST_SKIP() << "needs " << 3 * Size << " bytes free in " << folder.path();
    const std::filesystem::path file = folder / "large.img", original = folder / "original.img";
    std::ofstream(file, std::ios::binary).close();
    std::filesystem::resize_file(file, Size);
    // Data of its own every 256 MiB, across the 4 GiB line and at the very end.
    std::vector<std::uint64_t> marks{(std::uint64_t{4} << 30) - Mark / 2, Size - Mark};
    for (std::uint64_t at = 0; at + Mark <= Size; at += 256 << 20)
        marks.push_back(at);
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        out.seekp(static_cast<std::streamoff>(marks[i]));
        out.write(reinterpret_cast<const char*>(patternBytes(Mark, i).data()), Mark);
    }
    out.close();
    ASSERT_EQ(runChild({"cp", "--sparse=always", utf8(file), utf8(original)}).exitCode, 0);
    ASSERT_TRUE(ended(run("lock", file, "pw"), 0));
    EXPECT_NE(cli({"info", utf8(file)}).out.find("原文件大小：" + std::to_string(Size) + " 字节"),
              std::string::npos);
    ASSERT_TRUE(ended(run("unlock", file, "pw"), 0));
    EXPECT_TRUE(ended(runChild({"cmp", utf8(file), utf8(original)}), 0));
}

} // namespace
} // namespace veskard::test
