#include "startup/Settings.h"

#include <QFile>
#include <QtEndian>

#include <array>

namespace veskard::startup {
namespace {

constexpr qint64 RecordSize = 6;

// The three boxes in the order of the record.
std::array<CheckValue*, 3> boxesOf(Options& options) {
    return {&options.Check1, &options.Check2, &options.Check3};
}

std::array<CheckValue, 3> valuesOf(const Options& options) {
    return {options.Check1, options.Check2, options.Check3};
}

} // namespace

void loadSettings(const QString& file, Options& options) {
    QFile settings(file);
    if (!settings.open(QIODevice::ReadWrite))
        return;
    std::array<char, RecordSize> record{};
    if (settings.read(record.data(), RecordSize) < 0 || settings.size() == 0)
        return;
    const std::array<CheckValue*, 3> boxes = boxesOf(options);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto value = qFromLittleEndian<qint16>(record.data() + 2 * i);
        if (value < 0 || value > 2)
            return;
        *boxes[i] = static_cast<CheckValue>(value);
    }
}

bool saveSettings(const QString& file, const Options& options) {
    QFile settings(file);
    if (!settings.open(QIODevice::ReadWrite))
        return false;
    std::array<char, RecordSize> record{};
    const std::array<CheckValue, 3> values = valuesOf(options);
    for (std::size_t i = 0; i < values.size(); ++i)
        qToLittleEndian(static_cast<qint16>(values[i]), record.data() + 2 * i);
    return settings.write(record.data(), RecordSize) == RecordSize && settings.flush();
}

} // namespace veskard::startup
