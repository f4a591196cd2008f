#include "Cli.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>

// Offsets and sizes past 4 GiB, which 32 bits cannot hold: a sparse file, so
// that only the lock's and unlock's own writes cost time and disk.
namespace veskard::test {
namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
constexpr std::uint64_t Size = (std::uint64_t{4} << 30) + 64 * 1024 + 7;
constexpr std::size_t MarkSize = 4096;

// Where the file holds data of its own: every 256 MiB, across the 4 GiB
// line, and at the very end; zeros everywhere else.
std::vector<std::uint64_t> markOffsets() {
    std::vector<std::uint64_t> offsets;
    for (std::uint64_t at = 0; at + MarkSize <= Size; at += 256 * MiB)
        offsets.push_back(at);
    offsets.push_back((std::uint64_t{4} << 30) - MarkSize / 2);
    offsets.push_back(Size - MarkSize);
    return offsets;
}

TEST(LargeFileTest, SparseFilePast4GiBLocksAndUnlocksInPlace) {
    TempFolder folder;
    std::error_code error;
    if (std::filesystem::space(folder.path(), error).available < 3 * Size)
        GTEST_SKIP() << "needs " << 3 * Size / MiB << " MiB free in " << folder.path();
    const std::filesystem::path file = folder / "large.img";
    const std::vector<std::uint64_t> marks = markOffsets();
    { std::ofstream out(file, std::ios::binary); }
    std::filesystem::resize_file(file, Size);
    {
        std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const std::vector<std::byte> mark = patternBytes(MarkSize, static_cast<unsigned>(i));
            out.seekp(static_cast<std::streamoff>(marks[i]));
            out.write(reinterpret_cast<const char*>(mark.data()), MarkSize);
        }
    }

    const ChildOutcome locked = lock(file, "pw");
    ASSERT_EQ(locked.exitCode, 0) << locked;
    const ChildOutcome info = cli({"info", utf8(file)});
    EXPECT_NE(info.out.find("原文件大小：" + std::to_string(Size) + " 字节"), std::string::npos)
        << info;
    const ChildOutcome unlocked = unlock(file, "pw");
    ASSERT_EQ(unlocked.exitCode, 0) << unlocked;

    ASSERT_EQ(std::filesystem::file_size(file), Size);
    std::ifstream in(file, std::ios::binary);
    std::vector<char> read(64 * MiB);
    std::vector<char> expected(read.size());
    for (std::uint64_t at = 0; at < Size; at += read.size()) {
        const std::size_t length =
            static_cast<std::size_t>(std::min<std::uint64_t>(read.size(), Size - at));
        std::fill(expected.begin(), expected.end(), 0);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (marks[i] + MarkSize <= at || marks[i] >= at + length)
                continue;
            const std::vector<std::byte> mark = patternBytes(MarkSize, static_cast<unsigned>(i));
            for (std::size_t j = 0; j < MarkSize; ++j) {
                const std::uint64_t offset = marks[i] + j;
                if (offset >= at && offset < at + length)
                    expected[offset - at] = static_cast<char>(mark[j]);
            }
        }
        in.read(read.data(), static_cast<std::streamsize>(length));
        ASSERT_TRUE(std::equal(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(length),
                               expected.begin()))
            << "differs within " << length << " bytes from " << at;
    }
}

} // namespace
} // namespace veskard::test
