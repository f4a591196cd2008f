#include "engine/Messages.h"

#include "platform/ErrorText.h"

namespace veskard::engine {

std::string displayPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

namespace Messages {

Notice zeroSizeFile(const std::filesystem::path& path) {
    return {Icon::Stop, "'" + displayPath(path) + "'为 0 字节！不能对其加密。"};
}

Notice fileTooSmall() { return {Icon::Stop, "待加密的文件必须大于 100 字节！"}; }

Notice encryptWriteFailed() {
    return {Icon::Stop, "有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！"};
}

Notice noDataInFile(const std::filesystem::path& path) {
    return {Icon::Stop, "'" + displayPath(path) + "'未有任何数据！"};
}

Notice damagedOrNotEnciphered() {
    return {Icon::Exclamation,
            "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。"};
}

Notice restoreWriteFailed() {
    return {Icon::Stop, "有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！"};
}

Notice systemFailure(std::error_code error) {
    return {Icon::Stop, platform::describeError(error) + "！    "};
}

} // namespace Messages
} // namespace veskard::engine
