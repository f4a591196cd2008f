#include "engine/TextFormats.h"

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <sstream>
#include <string_view>

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

// The locale a category of `locale` comes from. A locale whose categories
// differ is named by all of them, "LC_CTYPE=C.UTF-8;LC_NUMERIC=C;..."; one
// whose categories agree by that one name.
std::string categoryLocale(const std::string& locale, std::string_view category) {
    if (locale.find('=') == std::string::npos)
        return locale;
    const std::string key = std::string(category) + '=';
    for (std::size_t at = 0; at < locale.size();) {
        const std::size_t end = std::min(locale.find(';', at), locale.size());
        const std::string_view part = std::string_view(locale).substr(at, end - at);
        if (part.starts_with(key))
            return std::string(part.substr(key.size()));
        at = end + 1;
    }
    return "C";
}

// C and POSIX, in whichever encoding (C.UTF-8, POSIX.utf8), hold no regional
// settings, only American defaults: two-digit years, no digit grouping.
bool hasRegionalSettings(std::string_view locale) {
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    return name != "C" && name != "POSIX";
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
    } catch (const std::runtime_error&) {
        return;
    }
    const std::string name = locale_.name();
    regionalDates_ = hasRegionalSettings(categoryLocale(name, "LC_TIME"));
    regionalNumbers_ = hasRegionalSettings(categoryLocale(name, "LC_NUMERIC"));
}

std::string LocaleTextFormats::dateTime(TimePoint time) const {
    if (!regionalDates_)
        return fixed_.dateTime(time);
    const std::tm parts = localTime(time);
    std::ostringstream out;
    out.imbue(locale_);
    out << std::put_time(&parts, "%x %X");
    return out.str();
}

std::string LocaleTextFormats::byteCount(std::uint64_t count) const {
    if (!regionalNumbers_)
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
