#include "gui/mainwindow/Settings.h"

#include "gui/desktop/Paths.h"
#include "platform/File.h"

#include <QtEndian>

#include <array>
#include <span>

namespace veskard::gui {
namespace {

constexpr std::size_t BoxCount = 4;
constexpr std::size_t RecordSize = 2 * BoxCount;

// The boxes in the order of the record.
std::array<CheckValue*, BoxCount> boxesOf(Options& options) {
    return {&options.keepOriginal, &options.writeEncryptScript, &options.writeDecryptScript,
            &options.strongLock};
}

std::array<CheckValue, BoxCount> valuesOf(const Options& options) {
    return {options.keepOriginal, options.writeEncryptScript, options.writeDecryptScript,
            options.strongLock};
}

bool isRefusedAccess(std::error_code error) {
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
           error == std::errc::read_only_file_system;
}

// The file is opened for writing too, so that a missing one is made; one the
// user may only read still gives its values.
Result<platform::File> openForLoading(const std::filesystem::path& path) {
    using platform::ProgramFileAccess;
    Result<platform::File> file =
        platform::File::openProgramFile(path, ProgramFileAccess::ReadWrite);
    if (!file && isRefusedAccess(file.error()))
        return platform::File::openProgramFile(path, ProgramFileAccess::Read);
    return file;
}

} // namespace

void loadSettings(const QString& file, Options& options) {
    const Result<platform::File> settings = openForLoading(toPath(file));
    if (!settings)
        return;
    std::array<std::byte, RecordSize> record{};
    const Result<std::size_t> read = settings->readAt(0, record);
    const Result<std::uint64_t> size = settings->size();
    if (!read || !size || *size == 0)
        return;
    const std::array<CheckValue*, BoxCount> boxes = boxesOf(options);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto value = qFromLittleEndian<qint16>(record.data() + 2 * i);
        if (value < 0 || value > 2)
            return;
        *boxes[i] = static_cast<CheckValue>(value);
    }
}

bool saveSettings(const QString& file, const Options& options) {
    Result<platform::File> settings =
        platform::File::openProgramFile(toPath(file), platform::ProgramFileAccess::ReadWrite);
    if (!settings)
        return false;
    std::array<std::byte, RecordSize> record{};
    const std::array<CheckValue, BoxCount> values = valuesOf(options);
    for (std::size_t i = 0; i < values.size(); ++i)
        qToLittleEndian(static_cast<qint16>(values[i]), record.data() + 2 * i);
    const std::error_code written = settings->writeAll(record);
    const std::error_code closed = settings->close();
    return !written && !closed;
}

} // namespace veskard::gui
