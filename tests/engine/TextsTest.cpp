#include "engine/EngineError.h"
#include "engine/FailureNotice.h"
#include "engine/Messages.h"
#include "engine/PasswordGenerator.h"
#include "engine/TextFormats.h"
#include "platform/ErrorText.h"
#include "platform/PlatformError.h"
#include "support/FixedClock.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <locale>

// What the engine shows: its notices, and the numbers and times of its log.
using namespace veskard::engine;
using namespace std::chrono_literals;
using veskard::platform::describeError;
using veskard::platform::PlatformError;

namespace {

// Every text the engine shows, each exactly once, and where each is shown.
TEST(Notices, EveryFailureIsToldInItsOwnWordsOrNotAtAll) {
    using enum JobPhase;
    using E = EngineError;
    using P = PlatformError;
    const auto stop = [](std::string text) { return Notice{Icon::Stop, std::move(text)}; };
    const auto warn = [](std::string text) { return Notice{Icon::Exclamation, std::move(text)}; };
    const auto words = [&](std::string text) { return stop(text + "！    "); };
    const auto encryptHeld = stop("有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！");
    const auto restoreHeld = stop("有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！");
    const auto damaged = warn("很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。");
    const std::error_code held = P::HeldByAnotherProgram,
                          canceled = std::make_error_code(std::errc::operation_canceled),
                          full = std::make_error_code(std::errc::no_space_on_device),
                          readOnly = std::make_error_code(std::errc::read_only_file_system);
    struct Row {
        JobPhase phase;
        std::error_code cause;
        std::optional<Notice> told;
    };
    // clang-format off
    const std::vector<Row> rows{
        {Load, E::EmptyFile, stop("'报告.doc'为 0 字节！不能对其加密。")},
        {Load, E::FileTooSmall, stop("待加密的文件必须大于 100 字节！")},
        {Load, P::NotRegularFile, std::nullopt},
        {Load, E::AlreadyEnciphered, stop("该文件已经加密过，不再重复加密。")},
        {Encipher, E::EmptyPassword, stop("密码不能为空！      ")},
        {Encipher, held, encryptHeld}, {Encipher, full, words(describeError(full))},
        {Encipher, E::PasswordTooLong, words("密码太长，最多只能有 65535 个字符")},
        {Encipher, E::StrongPasswordTooLong, words("密码太长，最多只能有 1048576 字节（UTF-8）")},
        {Encipher, E::UnstorablePassword, words("密码中有不能保存的字符（只能用 GBK 中的字符）")},
        {Encipher, E::HasOtherNames, words("文件还有别的名称（硬链接），不能就地改写")},
        {Encipher, E::SourceChanged, words("文件在处理期间被另一个程序改动了")},
        {Encipher, E::VerificationFailed, words("写入的数据读回来不一致")},
        {Encipher, P::NotRegularFile, words("不是普通文件")},
        {Encipher, P::TemporaryFileReplaced, words("临时文件在写入后被另一个程序替换了")},
        {Encipher, canceled, std::nullopt}, {Encipher, E::NoTarget, std::nullopt},
        {OpenEnciphered, E::EmptyFile, stop("'报告.doc'未有任何数据！")},
        {OpenEnciphered, E::DamagedRecord, damaged}, {OpenEnciphered, held, restoreHeld},
        {OpenEnciphered, std::make_error_code(std::errc::permission_denied), std::nullopt},
        {Restore, held, restoreHeld}, {Restore, readOnly, words(describeError(readOnly))},
        {Restore, P::FileReplaced, words("文件在处理期间被另一个程序移走或替换了")},
        {Restore, canceled, std::nullopt},
        {Restore, E::DamagedRecord, damaged}, // a strong lock's chunk
        {Action, std::make_error_code(std::errc::not_enough_memory), damaged},
        {Action, std::make_error_code(std::errc::is_a_directory), std::nullopt},
        {Action, held, words("另一个程序正在使用此文件，进程无法访问。")}};
    // clang-format on
    for (const Row& row : rows)
        EXPECT_EQ(failureNotice(row.phase, row.cause, u8"报告.doc"), row.told)
            << static_cast<int>(row.phase) << " " << row.cause.message();

    EXPECT_EQ(refusalNotice(Refusal::NoLength), warn("请输入密码位数！"));
    EXPECT_EQ(refusalNotice(Refusal::NoClasses), warn("请选择密码字符！"));
    EXPECT_EQ(Messages::bytesNotRestored(6), warn("加密记录后面的 6 字节数据没有还原。"));
    const auto failed = std::make_error_code(std::errc::io_error);
    EXPECT_EQ(Messages::failedAfterReplacing(failed),
              warn("文件已经替换，但随后的一步没有完成：" + describeError(failed) + "。"));
}

TEST(TextFormats, FixedFormatsGroupThousandsAndElapsedSecondsCountWholeSecondBoundaries) {
    const FixedTextFormats formats;
    for (const auto& [count, text] : std::vector<std::pair<std::uint64_t, std::string>>{
             {999, "999"}, {1000, "1,000"}, {1073741824, "1,073,741,824"}})
        EXPECT_EQ(formats.byteCount(count), text);
    const auto start = veskard::test::localTime(2026, 1, 2, 3, 4, 5);
    EXPECT_EQ(formats.dateTime(start), "2026-01-02 03:04:05");
    EXPECT_EQ(elapsedSeconds(start + 100ms, start + 900ms), 0);
    EXPECT_EQ(elapsedSeconds(start + 900ms, start + 1100ms), 1); // 0.2 s across a boundary
    EXPECT_EQ(elapsedSeconds(start + 999ms, start + 62s), 62);
}

#ifndef _WIN32
bool localeExists(const char* name) {
    try {
        return !std::locale(name).name().empty();
    } catch (const std::runtime_error&) {
        return false;
    }
}

// C and POSIX in any encoding, and a combined locale, have no regional
// settings: the fixed formats stand in.
TEST(TextFormats, EachCategoryFollowsItsOwnLocaleAndTheCLocaleGivesTheFixedFormats) {
    using Environment = std::vector<std::pair<const char*, const char*>>;
    const std::string fixed = "2026-12-06 17:04:48", german = "06.12.2026 17:04:48";
    std::vector<std::tuple<Environment, std::string, std::string>> cases{
        {{}, fixed, "6,000"}, {{{"LC_ALL", "POSIX"}, {"LANG", "C.UTF-8"}}, fixed, "6,000"}};
    if (localeExists("de_DE.UTF-8"))
        cases.insert(cases.end(),
                     {{{{"LANG", "de_DE.UTF-8"}, {"LC_TIME", "C.UTF-8"}}, fixed, "6.000"},
                      {{{"LANG", "C.UTF-8"}, {"LC_TIME", "de_DE.UTF-8"}}, german, "6,000"}});
    const char* names[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_CTYPE", "LANG"};
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : names)
        if (const char* value = std::getenv(name))
            saved.emplace_back(name, value);
    for (const auto& [environment, dateTime, byteCount] : cases) {
        std::string settings;
        for (const char* name : names)
            ::unsetenv(name);
        for (const auto& [name, value] : environment) {
            ::setenv(name, value, 1);
            settings += std::string(name) + "=" + value + " ";
        }
        const LocaleTextFormats formats;
        EXPECT_EQ(formats.dateTime(veskard::test::localTime(2026, 12, 6, 17, 4, 48)), dateTime)
            << settings;
        EXPECT_EQ(formats.byteCount(6000), byteCount) << settings;
    }
    for (const char* name : names)
        ::unsetenv(name);
    for (const auto& [name, value] : saved)
        ::setenv(name, value.c_str(), 1);
}
#endif

} // namespace
