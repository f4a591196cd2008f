#pragma once

#include <ostream>
#include <string>

namespace veskard::cli {

// A bar redrawn in place on a terminal; draws nothing when `visible` is false,
// so that a log file or a pipe gets no control characters. The bar ends its
// line when finished or destroyed, so that what is printed next starts clean.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, bool visible, std::string label)
        : out_(out)
        , visible_(visible)
        , label_(std::move(label)) {}
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void show(int percent);
    void finish();

private:
    std::ostream& out_;
    bool visible_;
    std::string label_;
    int shown_ = -1;
};

} // namespace veskard::cli
