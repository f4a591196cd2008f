#pragma once

#include "engine/Notice.h"

#include <QString>

class QWidget;

namespace veskard::gui {

using engine::Icon;

// YesNoDefaultNo: for a question whose Yes does what cannot be taken back,
// so that Enter answers No.
enum class Buttons { Ok, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Yes, No };

// What one message box shows. (Not "MessageBox": Windows headers define that name.)
struct BoxContent {
    QString title;
    QString text; // exactly as shown, trailing blanks included
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// Every message box of the program goes through here: always titled
// "Veskard", modal to its owner, and answerable by a test instead of a person.
class MessageBoxes {
public:
    static constexpr const char* Title = "Veskard";

    virtual ~MessageBoxes() = default;

    Answer show(QWidget* owner, const QString& text, Icon icon, Buttons buttons = Buttons::Ok);
    // A job's notice, with an OK button.
    void tell(QWidget* owner, const engine::Notice& notice);

private:
    virtual Answer present(QWidget* owner, const BoxContent& box) = 0;
};

// The boxes a person answers.
class QtMessageBoxes final : public MessageBoxes {
    Answer present(QWidget* owner, const BoxContent& box) override;
};

} // namespace veskard::gui
