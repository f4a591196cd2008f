#include "cli/ProgressBar.h"

#include <algorithm>
#include <iomanip>
#include <string>

namespace veskard::cli {
namespace {

constexpr int Width = 40;

} // namespace

void ProgressBar::show(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (!visible_ || percent == shown_)
        return;
    const int filled = percent * Width / 100;
    out_ << '\r' << label_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(Width - filled), '.') << "] " << std::setw(3)
         << percent << '%' << std::flush;
    shown_ = percent;
}

void ProgressBar::finish() {
    if (shown_ >= 0)
        out_ << '\n' << std::flush;
    shown_ = -1;
}

} // namespace veskard::cli
