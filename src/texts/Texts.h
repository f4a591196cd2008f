#pragma once

// Every text a person reads: messages, captions, log lines, the command line's
// words and the names of the files the program writes. Each is written here
// once, byte for byte, trailing blanks included: they are part of the text.
// "%1" marks where a name or a number goes (filled() or QString::arg).

#include <string>
#include <string_view>

namespace veskard::texts {

// `pattern` with its first "%1" replaced by `value`.
inline std::string filled(std::string_view pattern, std::string_view value) {
    const auto at = pattern.find("%1");
    if (at == std::string_view::npos)
        return std::string(pattern);
    std::string text(pattern.substr(0, at));
    text.append(value).append(pattern.substr(at + 2));
    return text;
}

namespace files {
inline constexpr char settings[] = "set.ini";
inline constexpr char report[] = "Encrypt_Info.txt";
inline constexpr char passwords[] = "paw.txt";
inline constexpr char windowsProgram[] = "Veskard.exe";
inline constexpr char encryptBatch[] = "加密.bat";
inline constexpr char decryptBatch[] = "解密.bat";
inline constexpr char encryptShell[] = "加密.sh";
inline constexpr char decryptShell[] = "解密.sh";
} // namespace files

// What the system reports, in the words of this program.
namespace system {
inline constexpr char heldByAnotherProgram[] = "另一个程序正在使用此文件，进程无法访问。";
inline constexpr char notRegularFile[] = "不是普通文件";
inline constexpr char fileReplaced[] = "文件在处理期间被另一个程序移走或替换了";
inline constexpr char temporaryFileReplaced[] = "临时文件在写入后被另一个程序替换了";
inline constexpr char folderReplaced[] = "新建的文件夹被另一个程序移走或替换了";
inline constexpr char notUsersOwnFile[] =
    "不是当前用户自己的文件（符号链接、硬链接或其他用户的文件）";
} // namespace system

// Why a job was refused or failed, as the engine describes it.
namespace engine {
inline constexpr char damagedOrNotEnciphered[] = "文件已破坏或不是加密文件";
inline constexpr char emptyPassword[] = "密码不能为空";
inline constexpr char passwordTooLong[] = "密码太长，最多只能有 65535 个字符";
inline constexpr char strongPasswordTooLong[] = "密码太长，最多只能有 1048576 字节（UTF-8）";
inline constexpr char passwordNotStorable[] = "密码中有不能保存的字符（只能用 GBK 中的字符）";
inline constexpr char emptyFile[] = "文件为 0 字节";
inline constexpr char fileTooSmall[] = "文件必须大于 100 字节";
inline constexpr char alreadyEnciphered[] = "文件已经加密过";
inline constexpr char fileTooLarge[] = "文件太大";
inline constexpr char fileShorterThanRecord[] = "文件比它应有的短";
inline constexpr char readBackDiffers[] = "写入的数据读回来不一致";
inline constexpr char changedByAnotherProgram[] = "文件在处理期间被另一个程序改动了";
inline constexpr char hardLinked[] = "文件还有别的名称（硬链接），不能就地改写";
inline constexpr char noTarget[] = "没有给出目标文件";
inline constexpr char noFileLoaded[] = "没有装入文件";
} // namespace engine

// The message boxes of a lock or an unlock, in the window and unattended.
namespace notices {
inline constexpr char zeroSizeFile[] = "'%1'为 0 字节！不能对其加密。";
inline constexpr char fileTooSmall[] = "待加密的文件必须大于 100 字节！";
inline constexpr char alreadyEnciphered[] = "该文件已经加密过，不再重复加密。";
inline constexpr char emptyPassword[] = "密码不能为空！      ";
inline constexpr char encryptHeld[] =
    "有另外一个程序正在打开该文件，请关闭这个程序，才能对其加密！";
inline constexpr char restoreHeld[] =
    "有另外一个程序正在打开该文件，请关闭这个程序，才能继续操作！";
inline constexpr char noDataInFile[] = "'%1'未有任何数据！";
inline constexpr char damagedOrNotEnciphered[] =
    "很抱歉！你所选择的文件可能已破坏     \n或并沒有经过本程序加密。";
inline constexpr char systemFailure[] = "%1！    ";
inline constexpr char bytesNotRestored[] = "加密记录后面的 %1 字节数据没有还原。";
inline constexpr char failedAfterReplacing[] = "文件已经替换，但随后的一步没有完成：%1。";
} // namespace notices

// The lines of the operation log, in the order a lock writes them.
namespace log {
inline constexpr char startTime[] = "开始时间：";
inline constexpr char fileToLock[] = "加密文件：";
inline constexpr char fileSize[] = "文件大小：";
inline constexpr char bytes[] = " 字节";
inline constexpr char loaded[] = "装入文件...   …… OK！";
inline constexpr char processing[] = "正在处理文件...";
inline constexpr char passwordSet[] = "设置密码...   …… OK！";
inline constexpr char passwordSetStrong[] = "设置密码(强加密)...   …… OK！";
inline constexpr char attributesRead[] = "得到文件的属性...  …… OK！";
inline constexpr char attributesSet[] = "设置文件的属性...  …… OK！";
inline constexpr char progress[] = "正执行加密算法...  …… %1% 完成";
inline constexpr char writing[] = "正在写入数据...  ";
inline constexpr char written[] = "  …… OK！";
inline constexpr char savingInfo[] = "保存文件信息...";
inline constexpr char encrypted[] = "加密成功！";
inline constexpr char endTime[] = "结束时间：";
inline constexpr char elapsed[] = "用时：%1秒";
inline constexpr char writeFailed[] = "写入失败。";
} // namespace log

// Words every window uses.
namespace common {
inline constexpr char ok[] = "确定";
inline constexpr char cancel[] = "取消";
inline constexpr char close[] = "关闭";
inline constexpr char separator[] = "分隔线";
} // namespace common

namespace mainWindow {
inline constexpr char caption[] = "Orvessa";
inline constexpr char chooseSourceLabel[] = "选择加密文件：";
inline constexpr char chooseSource[] = "选择加密文件";
inline constexpr char passwordLabel[] = "输入密码：";
inline constexpr char lock[] = "确认加密";
inline constexpr char confirmLabel[] = "确认密码：";
inline constexpr char generate[] = "随机密码";
inline constexpr char keepOriginal[] = "保存原文件副本";
inline constexpr char writeEncryptScript[] = "生成自加密批处理文件";
inline constexpr char writeDecryptScript[] = "生成自解密批处理文件";
inline constexpr char strongLock[] = "强加密";
inline constexpr char strongLockTip[] = "用密码真正加密文件内容，文件里不保存密码";
inline constexpr char log[] = "操作记录";
inline constexpr char saveReport[] = "保存报告";
inline constexpr char chooseLockedLabel[] = "选择解密文件：";
inline constexpr char chooseLocked[] = "选择解密文件";
inline constexpr char restoredLabel[] = "文件解密到：";
inline constexpr char unlock[] = "解密";
inline constexpr char close[] = "关闭(&C)";
inline constexpr char about[] = "关于程序";
inline constexpr char allFiles[] = "所有文件";
inline constexpr char filesEndingIn[] = "%1文件";
inline constexpr char replaceExisting[] = "“%1”已存在。\n要替换它吗？";
inline constexpr char unlockProgress[] = "正在解密…… %1%";
inline constexpr char noSourceChosen[] = "未选择加密文件！    ";
inline constexpr char confirmationDiffers[] = "密码确认不正确！   ";
inline constexpr char noFileFound[] = "未找到有文件！";
inline constexpr char sourceMissing[] = "“%1”不存在！  ";
inline constexpr char sourceNotAFile[] = "“%1”不是普通文件！  ";
inline constexpr char lockAgain[] = "该文件已经加密过，确定要再加密一次吗？";
inline constexpr char noReport[] = "无任何报告！    ";
inline constexpr char chooseFileToUnlock[] = "请选择需解密的文件！      ";
inline constexpr char unlockDirectly[] = "是否直接对“%1”解密？    ";
inline constexpr char unlockedOpenIt[] =
    "恭喜！恭喜！已成功破解“%1”        \r\n是否以缺省方式打开它。";
inline constexpr char hiddenCannotOpen[] = "文件有隐藏属性，无法打开，请在资源管理器中打开。";
} // namespace mainWindow

namespace passwordPrompt {
inline constexpr char caption[] = "输入密码";
inline constexpr char prompt[] = "请输入文件密码：";
inline constexpr char empty[] = "你未输入密码，密码不能为空！";
inline constexpr char wrong[] = "你输入的密码不正确，请重新输入！  ";
} // namespace passwordPrompt

namespace newPassword {
inline constexpr char caption[] = "设置密码";
inline constexpr char prompt[] = "请输入密码：";
} // namespace newPassword

namespace generator {
inline constexpr char caption[] = "密码生成器";
inline constexpr char lengthLabel[] = "输入密码位数：";
inline constexpr char countLabel[] = "希望生成几组密码：";
inline constexpr char classes[] = "生成符号";
inline constexpr char lowerCase[] = "小写字母";
inline constexpr char upperCase[] = "大写字母";
inline constexpr char digits[] = "数字";
inline constexpr char symbols[] = "其他特殊符号";
inline constexpr char generate[] = "生成";
inline constexpr char add[] = "添加";
inline constexpr char save[] = "保存";
inline constexpr char copy[] = "复制";
inline constexpr char lengthSpinner[] = "增减密码位数";
inline constexpr char countSpinner[] = "增减密码组数";
inline constexpr char list[] = "生成的密码";
inline constexpr char rememberBefore[] = "密码是 ";
inline constexpr char rememberAfter[] = "可要记住了！";
inline constexpr char lengthMissing[] = "请输入密码位数！";
inline constexpr char noCharacterClass[] = "请选择密码字符！";
} // namespace generator

namespace about {
inline constexpr char caption[] = "关于Orvessa";
inline constexpr char heading[] = "关于本软件";
inline constexpr char title[] = "Veskard v%1.%2 for %3";
inline constexpr char icon[] = "Veskard 图标";
inline constexpr char ownedBy[] = "本软件使用权属于：";
inline constexpr char description[] =
    "你是否想在自已的文件中加上Veskard的功能呢？很简单，只须使用本软件！";
inline constexpr char author[] = "Veskard 开发组";
inline constexpr char help[] = "帮助(&H)";
inline constexpr char visit[] = "马上去看看！";
} // namespace about

// The scripts written beside a locked file, and why they may not be.
namespace scripts {
inline constexpr char banner[] = "Veskard v%1.%2 文件加密工具";
inline constexpr char batchFileLine[] = "rem 文件：";
inline constexpr char shellFileLine[] = "# 文件：";
inline constexpr char folderExists[] = "批处理文件的文件夹已存在";
inline constexpr char emptyBaseName[] = "文件名去掉最后四个字符后为空";
inline constexpr char fileNotFound[] = "找不到该文件，或者它是隐藏文件或系统文件";
inline constexpr char nameTooShort[] = "文件名不足四个字符";
inline constexpr char pathNotInCodePage[] =
    "文件的路径中有当前代码页无法表示的字符，无法生成批处理文件";
inline constexpr char programPathNotInCodePage[] =
    "程序所在文件夹的路径中有当前代码页无法表示的字符，无法生成批处理文件";
inline constexpr char editorFailed[] = "无法启动文本编辑器";
inline constexpr char unknown[] = "未知错误";
inline constexpr char folderTaken[] = "文件夹“%1”已经存在，没有在其中生成批处理文件。";
inline constexpr char emptyBaseNameNotice[] =
    "文件名“%1”去掉最后四个字符后为空，没有生成批处理文件。";
} // namespace scripts

// The run from a script or the context menu, without the main window.
namespace unattended {
inline constexpr char bothSwitches[] = "参数错误，/e/r 不得同时加入";
inline constexpr char encrypted[] = "加密成功！！  ";
inline constexpr char decrypted[] = "解密成功！！  ";
inline constexpr char notFound[] = "不存在！请检查文件的路径及文件名";
inline constexpr char notAFile[] = "不是普通文件！请检查文件的路径及文件名";
inline constexpr char undecodableName[] = "文件名不是有效的 UTF-8 文字，无法处理：";
} // namespace unattended

namespace cli {
inline constexpr char confirmationDiffers[] = "密码确认不正确！";
inline constexpr char wrongPassword[] = "密码不正确！";
inline constexpr char passwordNotUtf8[] = "密码不是有效的 UTF-8 文字！";
inline constexpr char noTerminal[] =
    "没有可以输入密码的终端，请用 --password-stdin 从标准输入给出密码。";
inline constexpr char passwordPrompt[] = "密码：";
inline constexpr char confirmPrompt[] = "确认密码：";
inline constexpr char warning[] = "veskard-cli: 警告：";
inline constexpr char outputExists[] = "veskard-cli: '%1'已存在！要替换它，请加上 --force。\n";
inline constexpr char locking[] = "加密";
inline constexpr char unlocking[] = "解密";
inline constexpr char infoFile[] = "文件：";
inline constexpr char infoKindClassic[] = "类型：经典记录";
inline constexpr char infoKindStrong[] = "类型：强加密（Argon2id，XChaCha20-Poly1305）";
inline constexpr char infoOpsLimit[] = "Argon2id 运算次数：";
inline constexpr char infoMemLimit[] = "Argon2id 内存：";
inline constexpr char infoChunkSize[] = "块大小：";
inline constexpr char infoPieces[] = "块数：";
inline constexpr char infoPlainSize[] = "原文件大小：";
inline constexpr char infoRecordSize[] = "记录大小：";
inline constexpr char infoBytesAfter[] = "记录后的数据：";
inline constexpr char infoPasswordLength[] = "密码长度：";
inline constexpr char bytes[] = " 字节";
inline constexpr char onlyOneFile[] = "只能给出一个文件：'%1'";
inline constexpr char infoTakesNoOption[] = "info 不接受选项 '%1'";
inline constexpr char outputMissing[] = "'%1' 后面缺少输出文件";
inline constexpr char unknownOption[] = "未知的选项 '%1'";
inline constexpr char fileMissing[] = "缺少文件";
inline constexpr char emptyFileName[] = "文件名不能为空";
inline constexpr char commandMissing[] = "缺少命令";
inline constexpr char nothingMayFollow[] = "'%1' 后面不能有参数";
inline constexpr char unknownCommand[] = "未知的命令 '%1'";
inline constexpr char numberMissing[] = "'%1' 后面缺少数值";
inline constexpr char generateTakesNot[] = "generate 不接受 '%1'";
inline constexpr char help[] =
    "用法：\n"
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
inline constexpr char usage[] =
    "用法：veskard-cli lock FILE [-o OUT] [--force] [--strong] [--password-stdin] | "
    "unlock FILE [-o OUT] [--force] [--password-stdin] | info FILE | "
    "generate [-l LENGTH] [-n COUNT] [--lower] [--upper] [--digits] [--symbols] | "
    "--help | --version\n";
} // namespace cli

} // namespace veskard::texts
