#include "gui/mainwindow/Settings.h"

#include "support/TempFolder.h"
#ifndef _WIN32
#include "support/posix/PermissionChecks.h"
#endif

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace veskard;
using gui::CheckValue;
using gui::Options;

namespace {

std::vector<std::byte> bytes(std::initializer_list<int> values) {
    std::vector<std::byte> result;
    for (int value : values)
        result.push_back(static_cast<std::byte>(value));
    return result;
}

constexpr CheckValue Off = CheckValue::Unticked;
constexpr CheckValue On = CheckValue::Ticked;
constexpr CheckValue Grey = CheckValue::Greyed;

} // namespace

TEST(Settings, LoadsWhatTheFileHoldsUpToTheFirstValueNoBoxTakes) {
    const Options design;
    const std::vector<std::pair<std::vector<std::byte>, Options>> cases = {
        {bytes({}), design},
        {bytes({0, 0, 1, 0, 0, 0}), {Off, On, Off}},
        {bytes({1, 0}), {On, Off, Off}}, // missing bytes count as 0
        {bytes({1}), {On, Off, Off}},
        {bytes({1, 0, 5, 0, 0, 0}), {On, On, On}},         // 5 stops the load at writeEncryptScript
        {bytes({0, 0, 0, 0, 0xff, 0xff}), {Off, Off, On}}, // -1 stops it at writeDecryptScript
        {bytes({2, 0, 0, 1, 0, 0}), {Grey, On, On}},       // 256 stops it at writeEncryptScript
        {bytes({1, 0, 1, 0, 2, 0, 9, 9}), {On, On, Grey}},
    };
    test::TempFolder folder;
    const QString file = QString::fromStdString((folder / "set.ini").string());
    for (const auto& [content, expected] : cases) {
        test::writeFile(folder / "set.ini", content);
        Options options;
        gui::loadSettings(file, options);
        EXPECT_EQ(options, expected) << content.size() << " bytes";
        EXPECT_EQ(test::readFile(folder / "set.ini"), content) << "loading writes nothing";
    }
    // A missing file is made, empty, and the design stays.
    std::filesystem::remove(folder / "set.ini");
    Options options;
    gui::loadSettings(file, options);
    EXPECT_EQ(options, design);
    EXPECT_EQ(test::readFile(folder / "set.ini"), bytes({}));
    EXPECT_TRUE(std::filesystem::exists(folder / "set.ini"));
}

TEST(Settings, SavesSixBytesOverTheStartAndKeepsTheRest) {
    test::TempFolder folder;
    const QString file = QString::fromStdString((folder / "set.ini").string());
    ASSERT_TRUE(gui::saveSettings(file, {On, Off, Grey}));
    EXPECT_EQ(test::readFile(folder / "set.ini"), bytes({1, 0, 0, 0, 2, 0}));

    test::writeFile(folder / "set.ini", bytes({7, 7, 7, 7, 7, 7, 7, 7}));
    ASSERT_TRUE(gui::saveSettings(file, {Off, On, On}));
    EXPECT_EQ(test::readFile(folder / "set.ini"), bytes({0, 0, 1, 0, 1, 0, 7, 7}));

    EXPECT_FALSE(
        gui::saveSettings(QString::fromStdString((folder / "no" / "set.ini").string()), Options()));
}

#ifndef _WIN32 // links (mingw-w64 makes none), permission bits, FIFOs
// set.ini may lie where someone else once put that name: only the user's own
// regular file is read or written, one the user may only read included, and
// nothing waits.
TEST(Settings, OnlyTheUsersOwnRegularFileIsReadOrWrittenAndOneTheyMayOnlyReadIsRead) {
    test::TempFolder folder;
    const std::filesystem::path settings = folder / "set.ini";
    const QString file = QString::fromStdString(settings.string());
    const std::vector<std::byte> victim = bytes({1, 0, 0, 0, 0, 0, 9});
    test::writeFile(folder / "victim", victim);
    std::filesystem::create_symlink(folder / "victim", settings);
    Options options;
    gui::loadSettings(file, options);
    EXPECT_EQ(options, Options()) << "read through a link";
    EXPECT_FALSE(gui::saveSettings(file, {Off, Off, Off}));
    EXPECT_EQ(test::readFile(folder / "victim"), victim);

    std::filesystem::remove(settings);
    std::filesystem::create_symlink(folder / "made", settings);
    gui::loadSettings(file, options);
    EXPECT_FALSE(std::filesystem::exists(folder / "made")) << "a link's target was made";

    std::filesystem::remove(settings);
    test::writeFile(settings, bytes({1, 0, 0, 0, 2, 0}));
    ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
    {
        const test::PermissionChecksApplied asAnyUser;
        gui::loadSettings(file, options);
    }
    EXPECT_EQ(options, (Options{On, Off, Grey}));

    std::filesystem::remove(settings);
    ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
    options = Options();
    gui::loadSettings(file, options);
    EXPECT_EQ(options, Options());
    EXPECT_FALSE(gui::saveSettings(file, {Off, Off, Off}));
}
#endif
