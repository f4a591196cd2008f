#pragma once

#include <chrono>
#include <cstdint>
#include <locale>
#include <string>

namespace veskard::engine {

using TimePoint = std::chrono::system_clock::time_point;

// How the log writes date-times and byte counts.
class TextFormats {
public:
    virtual ~TextFormats() = default;
    // The short date, a blank, then the time with seconds.
    virtual std::string dateTime(TimePoint time) const = 0;
    // A whole number with thousands grouping ("2,048").
    virtual std::string byteCount(std::uint64_t count) const = 0;
};

// Year-month-day and 24-hour time, comma grouping: the same everywhere.
class FixedTextFormats : public TextFormats {
public:
    std::string dateTime(TimePoint time) const override;
    std::string byteCount(std::uint64_t count) const override;
};

// The user's regional settings (the environment's locale), dates by its time
// category and numbers by its numeric one; the fixed formats where a category
// has none (the C or POSIX locale, in any encoding such as C.UTF-8) or the
// locale cannot be loaded.
class LocaleTextFormats final : public TextFormats {
public:
    LocaleTextFormats();
    std::string dateTime(TimePoint time) const override;
    std::string byteCount(std::uint64_t count) const override;

private:
    std::locale locale_;
    bool regionalDates_ = false;
    bool regionalNumbers_ = false;
    FixedTextFormats fixed_;
};

// Whole-second boundaries passed between two times.
std::int64_t elapsedSeconds(TimePoint start, TimePoint end);

} // namespace veskard::engine
