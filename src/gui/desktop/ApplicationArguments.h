#pragma once

#include <array>

namespace veskard::gui {

// What QApplication is given of the command line: the program's name alone.
// Qt takes the arguments it knows ("-style", "-platform", "-reverse") for
// itself; the user's text is read before (commandLineText) and must never be
// mistaken for one of them.
class ApplicationArguments {
public:
    explicit ApplicationArguments(char** argv)
        : argv_{argv[0], nullptr} {}
    ApplicationArguments(const ApplicationArguments&) = delete;
    ApplicationArguments& operator=(const ApplicationArguments&) = delete;

    // QApplication keeps references to both: this object must outlive it.
    int& argc() { return argc_; }
    char** argv() { return argv_.data(); }

private:
    int argc_ = 1;
    std::array<char*, 2> argv_;
};

} // namespace veskard::gui
