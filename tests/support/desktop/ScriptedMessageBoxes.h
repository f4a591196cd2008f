#pragma once

#include "gui/desktop/MessageBoxes.h"

#include <deque>
#include <vector>

#include <gtest/gtest.h>

namespace veskard::test {

// Answers message boxes for the person. A test queues the boxes it expects,
// each with its answer; a box that was not expected, or differs from the next
// expected one, fails the test, and so does an expected box that never came.
class ScriptedMessageBoxes final : public gui::MessageBoxes {
public:
    ~ScriptedMessageBoxes() override {
        for (const Expected& expected : expected_)
            ADD_FAILURE() << "expected message box never shown: " << describe(expected.box);
    }

    void expect(const QString& text, gui::Icon icon, gui::Buttons buttons = gui::Buttons::Ok,
                gui::Answer answer = gui::Answer::Ok) {
        expected_.push_back({{QString::fromLatin1(Title), text, icon, buttons}, answer});
    }
    void expect(const engine::Notice& notice) {
        expect(QString::fromStdString(notice.text), notice.icon);
    }

    // Every box shown so far, in order.
    const std::vector<gui::BoxContent>& shown() const { return shown_; }

private:
    struct Expected {
        gui::BoxContent box;
        gui::Answer answer;
    };
    static std::string describe(const gui::BoxContent& box) {
        const char* const buttons[] = {"ok", "yes/no", "yes/no, no by default"};
        return "[" + box.title.toStdString() + "] icon " +
               std::to_string(static_cast<int>(box.icon)) + " " +
               buttons[static_cast<int>(box.buttons)] + ": \"" + box.text.toStdString() + "\"";
    }
    gui::Answer present(QWidget*, const gui::BoxContent& box) override {
        shown_.push_back(box);
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected message box: " << describe(box);
            return box.buttons == gui::Buttons::Ok ? gui::Answer::Ok : gui::Answer::No;
        }
        const Expected expected = expected_.front();
        expected_.pop_front();
        EXPECT_EQ(describe(box), describe(expected.box));
        return expected.answer;
    }

    std::deque<Expected> expected_;
    std::vector<gui::BoxContent> shown_;
};

} // namespace veskard::test
