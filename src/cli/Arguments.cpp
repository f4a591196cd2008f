#include "cli/Arguments.h"

#include "cli/Generate.h"

#include <map>

namespace veskard::cli {
namespace {

const std::map<std::string_view, Command> commandNames = {
    {"lock", Command::Lock},
    {"unlock", Command::Unlock},
    {"info", Command::Info},
};

UsageError error(std::string message) {
    return {std::move(message)};
}

Arguments only(Command command) {
    Arguments arguments;
    arguments.command = command;
    return arguments;
}

// Arguments are UTF-8 on every system; a path made from plain chars would be
// read in the ANSI code page on Windows, where most Chinese names cannot be.
std::filesystem::path pathOf(std::string_view word) {
    return std::u8string(word.begin(), word.end());
}

bool writes(Command command) {
    return command == Command::Lock || command == Command::Unlock;
}

// Parses what follows the command word.
std::variant<Arguments, UsageError> parseCommand(Command command,
                                                 std::span<const std::string> rest) {
    Arguments parsed;
    parsed.command = command;
    std::optional<std::filesystem::path> file;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string_view word = rest[i];
        const bool isOption = !optionsEnded && word.size() > 1 && word.front() == '-';
        if (!isOption) {
            if (file)
                return error("只能给出一个文件：'" + std::string(word) + "'");
            file = pathOf(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            return only(Command::Help);
        } else if (!writes(command)) {
            return error("info 不接受选项 '" + std::string(word) + "'");
        } else if (word == "-o" || word == "--output") {
            if (i + 1 == rest.size())
                return error("'" + std::string(word) + "' 后面缺少输出文件");
            parsed.output = pathOf(rest[++i]);
        } else if (word == "--force") {
            parsed.force = true;
        } else if (word == "--strong" && command == Command::Lock) {
            parsed.strong = true;
        } else if (word == "--password-stdin") {
            parsed.passwordFromStandardInput = true;
        } else {
            return error("未知的选项 '" + std::string(word) + "'");
        }
    }
    if (!file)
        return error("缺少文件");
    if (file->empty() || (parsed.output && parsed.output->empty()))
        return error("文件名不能为空");
    parsed.file = std::move(*file);
    return parsed;
}

} // namespace

std::variant<Arguments, UsageError> parseArguments(std::span<const std::string> arguments) {
    if (arguments.empty())
        return error("缺少命令");
    const std::string_view first = arguments.front();
    if (first == "--help" || first == "-h" || first == "--version") {
        if (arguments.size() != 1)
            return error("'" + std::string(first) + "' 后面不能有参数");
        return only(first == "--version" ? Command::Version : Command::Help);
    }
    if (first == "generate")
        return parseGenerate(arguments.subspan(1));
    const auto command = commandNames.find(first);
    if (command == commandNames.end())
        return error("未知的命令 '" + std::string(first) + "'");
    return parseCommand(command->second, arguments.subspan(1));
}

std::string_view helpText() {
    return "用法：\n"
           "  veskard-cli lock FILE [-o OUT] [--force] [--strong] [--password-stdin]\n"
           "  veskard-cli unlock FILE [-o OUT] [--force] [--password-stdin]\n"
           "  veskard-cli info FILE\n"
           "  veskard-cli generate [-l LENGTH] [-n COUNT] [--lower] [--upper] [--digits] "
           "[--symbols]\n"
           "  veskard-cli --help | --version\n"
           "\n"
           "命令：\n"
           "  lock     用密码给文件加密\n"
           "  unlock   用密码给文件解密\n"
           "  info     显示加密文件的类型和原文件大小；经典记录还有块数、记录大小、记录后的数据\n"
           "           和密码长度，强加密还有密钥派生的参数和块大小\n"
           "  generate 生成随机密码，每行一个\n"
           "\n"
           "选项：\n"
           "  -o, --output OUT   写到 OUT，不改变 FILE（默认就地改写 FILE）\n"
           "  --force            OUT 已存在时替换它；加密时 FILE 已经加密过也再加密一次\n"
           "  --strong           加密时用强加密：用由密码派生的密钥（Argon2id）加密内容\n"
           "                     （XChaCha20-Poly1305），文件中不保存密码；只有本版本及以后的\n"
           "                     版本能解密。解密时自动识别两种加密\n"
           "  --password-stdin   从标准输入的第一行读取密码（UTF-8），不在终端上询问\n"
           "\n"
           "generate 的选项：\n"
           "  -l LENGTH   密码位数，1 到 1000（不给出时不生成）\n"
           "  -n COUNT    生成几组密码，1 到 1000（默认 1 组）\n"
           "  --lower --upper --digits --symbols\n"
           "              只用所列的字符：小写字母、大写字母、数字、其他特殊符号\n"
           "              （一个也不列时四类都用）\n"
           "  数值的读法与密码生成器窗口的输入框相同（\"12abc\" 即 12，\"&HA\" 即 10，\n"
           "  \"2.5\" 即 2）；输入框不接受的值（不大于 0、大于 1000、不是数字）等于没有给出。\n"
           "\n"
           "退出状态：0 成功；1 被拒绝或失败（文件不变）；2 用法错误。\n";
}

std::string_view usageLine() {
    return "用法：veskard-cli lock FILE [-o OUT] [--force] [--strong] [--password-stdin] | "
           "unlock FILE [-o OUT] [--force] [--password-stdin] | info FILE | "
           "generate [-l LENGTH] [-n COUNT] [--lower] [--upper] [--digits] [--symbols] | "
           "--help | --version\n";
}

} // namespace veskard::cli
