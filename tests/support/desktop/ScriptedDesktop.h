#pragma once

// Doubles for the desktop, and the person at it acting in dialogs.

#include "gui/desktop/Desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
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

    bool allShown() const { return expected_.empty(); }

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
};

// Chooses paths for the person: each dialog takes the next queued answer (the
// empty text cancels). A dialog nobody expected, or an answer never taken,
// fails the test.
class ScriptedFilePickers final : public gui::FilePickers {
public:
    ~ScriptedFilePickers() override {
        for (const QString& answer : answers_)
            ADD_FAILURE() << "file dialog never shown for the answer '" << answer.toStdString()
                          << "'";
    }

    void answer(const QString& path) { answers_.push_back(path); }
    const std::vector<gui::FileRequest>& requests() const { return requests_; }

    QString pick(QWidget*, const gui::FileRequest& request) override {
        requests_.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return {};
        }
        const QString path = answers_.front();
        answers_.pop_front();
        return path;
    }

private:
    std::deque<QString> answers_;
    std::vector<gui::FileRequest> requests_;
};

// Notes what would have been handed to other programs, and starts none.
class RecordingShell final : public gui::Shell {
public:
    std::vector<QString> opened;   // documents and addresses
    std::vector<QString> inEditor; // text files shown in the editor
    bool editorStarts = true;

    bool openWithDefaultProgram(QWidget*, const QString& documentOrAddress) override {
        opened.push_back(documentOrAddress);
        return true;
    }
    bool openInTextEditor(const QString& path) override {
        inEditor.push_back(path);
        return editorStarts;
    }
};

// Notes that the program would have ended here, and with which status. The
// real end never returns, so only the first call counts, and `atEnd` lets a
// test look, at that moment, at what the program leaves behind: whatever runs
// after the call would never have run.
class RecordingProgramEnd final : public gui::ProgramEnd {
public:
    std::optional<int> status;
    std::function<void()> atEnd;

    void now(int exitStatus) override {
        if (status)
            return;
        status = exitStatus;
        if (atEnd)
            atEnd();
    }
};

// The desktop a window under test is given: the person scripted, the rest recorded.
struct ScriptedDesktop {
    ScriptedMessageBoxes boxes;
    ScriptedFilePickers pickers;
    RecordingShell shell;
    RecordingProgramEnd end;

    gui::Desktop with(gui::ProgramFiles files) { return {boxes, pickers, shell, end, files}; }
};

// Acts for the person in the next modal dialog of type Dialog, inside the
// dialog's own event loop. A dialog that never opens, or that `act` leaves
// open, fails the test; one left open is closed, so that no test hangs.
template <typename Dialog> class NextDialog {
public:
    explicit NextDialog(std::function<void(Dialog&)> act)
        : act_(std::move(act)) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { actInDialog(); });
        timer_.start(0);
    }
    ~NextDialog() {
        if (!acted_)
            ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " was shown";
    }

private:
    void actInDialog() {
        acted_ = true;
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " is open";
            return;
        }
        act_(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << Dialog::staticMetaObject.className() << " is still open";
            dialog->reject();
        }
    }

    std::function<void(Dialog&)> act_;
    QTimer timer_;
    bool acted_ = false;
};

// Types `text` into `widget` a character at a time, Chinese included (Qt
// Test's keyClicks knows only ASCII keys).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

// Pastes `text` into `widget` with Ctrl+V, as a person does with a text too
// long to type.
inline void pasteText(QWidget* widget, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
}

// A person at a password dialog who types `password` into its box and presses Enter.
inline auto typing(const QString& password) {
    return [password](QWidget& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        typeText(box, password);
        QTest::keyClick(box, Qt::Key_Return);
    };
}

} // namespace veskard::test
