#pragma once

#include "gui/desktop/MessageBoxes.h"

#include <deque>
#include <vector>

namespace veskard::test {

// Answers message boxes for the person. A test queues the boxes it expects,
// each with its answer; a box that was not expected, or differs from the next
// expected one, fails the test, and so does an expected box that never came.
class ScriptedMessageBoxes final : public gui::MessageBoxes {
public:
    ~ScriptedMessageBoxes() override;

    void expect(const QString& text, gui::Icon icon, gui::Buttons buttons = gui::Buttons::Ok,
                gui::Answer answer = gui::Answer::Ok);
    // The same for a job's notice.
    void expect(const engine::Notice& notice);

    // Every box shown so far, in order.
    const std::vector<gui::BoxContent>& shown() const { return shown_; }

private:
    struct Expected {
        gui::BoxContent box;
        gui::Answer answer;
    };
    gui::Answer present(QWidget* owner, const gui::BoxContent& box) override;

    std::deque<Expected> expected_;
    std::vector<gui::BoxContent> shown_;
};

} // namespace veskard::test
