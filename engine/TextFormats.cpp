#include "engine/TextFormats.h"

#include <ctime>
#include <iomanip>
#include <sstream>

namespace veskard::engine {
namespace {

std::tm localTime(TimePoint time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    return parts;
}

std::string groupThousands(std::uint64_t count, const std::string& separator) {
    std::string digits = std::to_string(count);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), separator);
    return digits;
}

} // namespace

std::string FixedTextFormats::dateTime(TimePoint time) const {
    const std::tm parts = localTime(time);
    std::ostringstream out;
    out << std::put_time(&parts, "%Y-%m-%d %H:%M:%S");
    return out.str();
}

std::string FixedTextFormats::byteCount(std::uint64_t count) const {
    return groupThousands(count, ",");
}

LocaleTextFormats::LocaleTextFormats() {
    try {
        locale_ = std::locale("");
        regional_ = locale_.name() != "C" && locale_.name() != "POSIX";
    } catch (const std::runtime_error&) {
        regional_ = false;
    }
}

std::string LocaleTextFormats::dateTime(TimePoint time) const {
    if (!regional_)
        return fixed_.dateTime(time);
    const std::tm parts = localTime(time);
    std::ostringstream out;
    out.imbue(locale_);
    out << std::put_time(&parts, "%x %X");
    return out.str();
}

std::string LocaleTextFormats::byteCount(std::uint64_t count) const {
    if (!regional_)
        return fixed_.byteCount(count);
    std::ostringstream out;
    out.imbue(locale_);
    out << count;
    return out.str();
}

std::int64_t elapsedSeconds(TimePoint start, TimePoint end) {
    using std::chrono::floor;
    using std::chrono::seconds;
    return (floor<seconds>(end) - floor<seconds>(start)).count();
}

} // namespace veskard::engine
