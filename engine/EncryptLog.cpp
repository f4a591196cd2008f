#include "engine/EncryptLog.h"

#include "engine/Messages.h"

#include <string>

namespace veskard::engine {

void writeEncryptHeader(OperationLog& log, const std::filesystem::path& source,
                        std::uint64_t size, TimePoint now, const TextFormats& formats) {
    const std::string br(OperationLog::LineBreak);
    log.replace("******** Veskard v" + std::to_string(VersionMajor) + "." +
                std::to_string(VersionMinor) + " ********" + br + br + "开始时间：" +
                formats.dateTime(now) + br + "加密文件：" + displayPath(source) + br +
                "文件大小：" + formats.byteCount(size) + " 字节" + br + "装入文件...   …… OK！");
}

void appendPasswordLines(OperationLog& log) {
    const std::string br(OperationLog::LineBreak);
    log.append(br + "正在处理文件..." + br + "设置密码...   …… OK！");
}

} // namespace veskard::engine
