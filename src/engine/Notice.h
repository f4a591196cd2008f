#pragma once

#include <string>

namespace veskard::engine {

// The icon a message box shows.
enum class Icon { None, Stop, Exclamation, Question };

// What the user is told: the program shows it in a message box, the command
// line prints it. The text is UTF-8, exactly as the user sees it.
struct Notice {
    Icon icon = Icon::None;
    std::string text;
    bool operator==(const Notice&) const = default;
};

} // namespace veskard::engine
