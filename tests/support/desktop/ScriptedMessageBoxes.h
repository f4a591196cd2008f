#pragma once

#include "gui/desktop/MessageBoxes.h"

#include <deque>
#include <vector>

namespace veskard::test {

// Answers message boxes for the person. A test queues the boxes it expects,
// each with its answer; a box that was not expected, or differs from the next
// expected one, fails the test, and so does an expected box that never came.
class ScriptedMessageBoxes final : public desktop::MessageBoxes {
public:
    ~ScriptedMessageBoxes() override;

    void expect(const QString& text, desktop::Icon icon,
                desktop::Buttons buttons = desktop::Buttons::Ok,
                desktop::Answer answer = desktop::Answer::Ok);
    // The same for a job's notice.
    void expect(const engine::Notice& notice);

    // Every box shown so far, in order.
    const std::vector<desktop::BoxContent>& shown() const { return shown_; }

private:
    struct Expected {
        desktop::BoxContent box;
        desktop::Answer answer;
    };
    desktop::Answer present(QWidget* owner, const desktop::BoxContent& box) override;

    std::deque<Expected> expected_;
    std::vector<desktop::BoxContent> shown_;
};

} // namespace veskard::test
