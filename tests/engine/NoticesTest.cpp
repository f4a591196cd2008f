#include "engine/EngineError.h"
#include "engine/FailureNotice.h"
#include "engine/Messages.h"
#include "engine/PasswordGenerator.h"
#include "platform/ErrorText.h"
#include "platform/PlatformError.h"

#include <gtest/gtest.h>

using namespace veskard::engine;
using veskard::platform::PlatformError;

namespace {

std::string systemWords(std::errc error) {
    return veskard::platform::describeError(std::make_error_code(error));
}

// Every text the engine shows, each exactly once, and where each is shown.
TEST(Notices, EveryFailureIsToldInItsOwnWordsOrNotAtAll) {
    const std::filesystem::path file(u8"报告.doc");
    const Notice encryptHeld{Icon::Stop,
                             "有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！"};
    const Notice restoreHeld{Icon::Stop,
                             "有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！"};
    const Notice damaged{Icon::Exclamation,
                         "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。"};
    const auto described = [](std::string words) { return Notice{Icon::Stop, words + "！    "}; };
    const std::error_code held = PlatformError::HeldByAnotherProgram;
    const std::error_code canceled = std::make_error_code(std::errc::operation_canceled);

    struct Row {
        JobPhase phase;
        std::error_code cause;
        std::optional<Notice> told;
    };
    const std::vector<Row> rows{
        {JobPhase::Load, EngineError::EmptyFile,
         Notice{Icon::Stop, "'报告.doc'为 0 字节！不能对其加密。"}},
        {JobPhase::Load, EngineError::FileTooSmall,
         Notice{Icon::Stop, "待加密的文件必须大于 100 字节！"}},
        {JobPhase::Load, PlatformError::NotRegularFile, std::nullopt},
        {JobPhase::Load, EngineError::AlreadyEnciphered,
         Notice{Icon::Stop, "该文件已经加密过，不再重复加密。"}},
        {JobPhase::Encipher, EngineError::EmptyPassword,
         Notice{Icon::Stop, "密码不能为空！      "}},
        {JobPhase::Encipher, held, encryptHeld},
        {JobPhase::Encipher, std::make_error_code(std::errc::no_space_on_device),
         described(systemWords(std::errc::no_space_on_device))},
        {JobPhase::Encipher, EngineError::PasswordTooLong,
         described("密码太长，最多只能有 65535 个字符")},
        {JobPhase::Encipher, EngineError::StrongPasswordTooLong,
         described("密码太长，最多只能有 1048576 字节（UTF-8）")},
        {JobPhase::Encipher, EngineError::UnstorablePassword,
         described("密码中有不能保存的字符（只能用 GBK 中的字符）")},
        {JobPhase::Encipher, EngineError::HasOtherNames,
         described("文件还有别的名称（硬链接），不能就地改写")},
        {JobPhase::Encipher, EngineError::SourceChanged,
         described("文件在处理期间被另一个程序改动了")},
        {JobPhase::Encipher, EngineError::VerificationFailed, described("写入的数据读回来不一致")},
        {JobPhase::Encipher, PlatformError::NotRegularFile, described("不是普通文件")},
        {JobPhase::Encipher, PlatformError::TemporaryFileReplaced,
         described("临时文件在写入后被另一个程序替换了")},
        {JobPhase::Encipher, canceled, std::nullopt},
        {JobPhase::Encipher, EngineError::NoTarget, std::nullopt},
        {JobPhase::OpenEnciphered, EngineError::EmptyFile,
         Notice{Icon::Stop, "'报告.doc'未有任何数据！"}},
        {JobPhase::OpenEnciphered, EngineError::DamagedRecord, damaged},
        {JobPhase::OpenEnciphered, held, restoreHeld},
        {JobPhase::OpenEnciphered, std::make_error_code(std::errc::permission_denied),
         std::nullopt},
        {JobPhase::Restore, held, restoreHeld},
        {JobPhase::Restore, std::make_error_code(std::errc::read_only_file_system),
         described(systemWords(std::errc::read_only_file_system))},
        {JobPhase::Restore, PlatformError::FileReplaced,
         described("文件在处理期间被另一个程序移走或替换了")},
        {JobPhase::Restore, canceled, std::nullopt},
        {JobPhase::Restore, EngineError::DamagedRecord, damaged}, // a strong lock's chunk
        {JobPhase::Action, std::make_error_code(std::errc::not_enough_memory), damaged},
        {JobPhase::Action, std::make_error_code(std::errc::is_a_directory), std::nullopt},
        {JobPhase::Action, held, described("另一个程序正在使用此文件，进程无法访问。")},
    };
    for (const Row& row : rows)
        EXPECT_EQ(failureNotice(row.phase, row.cause, file), row.told)
            << static_cast<int>(row.phase) << " " << row.cause.message();

    EXPECT_EQ(refusalNotice(Refusal::NoLength), (Notice{Icon::Exclamation, "请输入密码位数！"}));
    EXPECT_EQ(refusalNotice(Refusal::NoClasses), (Notice{Icon::Exclamation, "请选择密码字符！"}));
    EXPECT_EQ(Messages::bytesNotRestored(6),
              (Notice{Icon::Exclamation, "加密记录后面的 6 字节数据没有还原。"}));
    EXPECT_EQ(Messages::failedAfterReplacing(std::make_error_code(std::errc::io_error)),
              (Notice{Icon::Exclamation, "文件已经替换，但随后的一步没有完成：" +
                                             systemWords(std::errc::io_error) + "。"}));
}

} // namespace
