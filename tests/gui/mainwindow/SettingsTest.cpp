#include "gui/mainwindow/Settings.h"

#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/posix/PermissionChecks.h"
#endif

#include <algorithm>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace veskard::test {
namespace {

using gui::Options;
using enum gui::CheckValue;

std::vector<std::byte> bytes(std::initializer_list<int> values) {
    std::vector<std::byte> result(values.size());
    std::ranges::transform(values, result.begin(), [](int value) { return std::byte(value); });
    return result;
}

// Four 16-bit little-endian values, taken up to the first that no box takes;
// a missing byte counts as 0, so that an older program's six bytes mean no
// strong lock. Loading writes nothing but a missing file, made empty, and
// reads one the user may only read; saving writes over the start.
TEST(Settings, LoadsTheBoxesUpToTheFirstValueNoBoxTakesAndSavesOverTheStart) {
    TempFolder folder;
    const std::filesystem::path path = folder / "set.ini";
    const QString file = QString::fromStdString(path.string());
    for (const auto& [content, expected] : std::vector<std::pair<std::vector<std::byte>, Options>>{
             {bytes({}), Options{}}, // no file
             {bytes({1}), {Ticked, Unticked, Unticked}},
             {bytes({1, 0, 3, 0, 0, 0}), {Ticked, Ticked, Ticked}}, // 3 stops it at the second
             {bytes({0, 0, 0, 0, 0xff, 0xff}), {Unticked, Unticked, Ticked}}, // -1 at the third
             {bytes({2, 0, 0, 1, 0, 0}), {Greyed, Ticked, Ticked}},           // 256 at the second
             {bytes({1, 0, 1, 0, 1, 0}), {Ticked, Ticked, Ticked, Unticked}},
             {bytes({0, 0, 0, 0, 0, 0, 2}), {Unticked, Unticked, Unticked, Greyed}}}) {
        std::filesystem::remove(path);
        if (!content.empty())
            writeFile(path, content);
        Options options;
        gui::loadSettings(file, options);
        EXPECT_EQ(options, expected) << content.size() << " bytes";
        EXPECT_EQ(readFile(path), content) << "loading writes nothing";
    }
    writeFile(path, bytes({7, 7, 7, 7, 7, 7, 7, 7, 7, 7}));
    ASSERT_TRUE(gui::saveSettings(file, {Unticked, Ticked, Greyed, Ticked}));
    EXPECT_EQ(readFile(path), bytes({0, 0, 1, 0, 2, 0, 1, 0, 7, 7}));
#ifndef _WIN32 // permission bits
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    Options options;
    const PermissionChecksApplied asAnyUser;
    gui::loadSettings(file, options);
    EXPECT_EQ(options, (Options{Unticked, Ticked, Greyed, Ticked}));
#endif
}

} // namespace
} // namespace veskard::test
