#include "engine/Messages.h"

#include "platform/ErrorText.h"

#include <string>

namespace veskard::engine::Messages {
namespace {

std::string quoted(const std::filesystem::path& path) {
    std::string text(1, '\'');
    text += platform::displayName(path);
    text += '\'';
    return text;
}

} // namespace

Notice zeroSizeFile(const std::filesystem::path& path) {
    return {Icon::Stop, quoted(path) + "为 0 字节！不能对其加密。"};
}

Notice fileTooSmall() {
    return {Icon::Stop, "待加密的文件必须大于 100 字节！"};
}

Notice alreadyEnciphered() {
    return {Icon::Stop, "该文件已经加密过，不再重复加密。"};
}

Notice emptyPassword() {
    return {Icon::Stop, "密码不能为空！      "};
}

Notice encryptHeld() {
    return {Icon::Stop, "有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！"};
}

Notice restoreHeld() {
    return {Icon::Stop, "有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！"};
}

Notice noDataInFile(const std::filesystem::path& path) {
    return {Icon::Stop, quoted(path) + "未有任何数据！"};
}

Notice damagedOrNotEnciphered() {
    return {Icon::Exclamation, "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。"};
}

Notice systemFailure(std::error_code error) {
    return {Icon::Stop, platform::describeError(error) + "！    "};
}

Notice bytesNotRestored(std::uint64_t count) {
    return {Icon::Exclamation, "加密记录后面的 " + std::to_string(count) + " 字节数据没有还原。"};
}

Notice failedAfterReplacing(std::error_code error) {
    return {Icon::Exclamation,
            "文件已经替换，但随后的一步没有完成：" + platform::describeError(error) + "。"};
}

} // namespace veskard::engine::Messages
