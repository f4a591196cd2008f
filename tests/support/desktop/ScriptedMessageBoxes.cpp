#include "support/desktop/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

std::string describe(gui::Buttons buttons) {
    switch (buttons) {
    case gui::Buttons::Ok:
        break;
    case gui::Buttons::YesNo:
        return "yes/no";
    case gui::Buttons::YesNoDefaultNo:
        return "yes/no, no by default";
    }
    return "ok";
}

std::string describe(const gui::BoxContent& box) {
    return "[" + box.title.toStdString() + "] icon " + std::to_string(static_cast<int>(box.icon)) +
           " " + describe(box.buttons) + ": \"" + box.text.toStdString() + "\"";
}

} // namespace

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    for (const Expected& expected : expected_)
        ADD_FAILURE() << "expected message box never shown: " << describe(expected.box);
}

void ScriptedMessageBoxes::expect(const QString& text, gui::Icon icon, gui::Buttons buttons,
                                  gui::Answer answer) {
    expected_.push_back({{QString::fromLatin1(Title), text, icon, buttons}, answer});
}

void ScriptedMessageBoxes::expect(const engine::Notice& notice) {
    expect(QString::fromStdString(notice.text), notice.icon);
}

gui::Answer ScriptedMessageBoxes::present(QWidget*, const gui::BoxContent& box) {
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

} // namespace veskard::test
