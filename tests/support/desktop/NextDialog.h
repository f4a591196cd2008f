#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace veskard::test {

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
    NextDialog(const NextDialog&) = delete;
    NextDialog& operator=(const NextDialog&) = delete;

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

} // namespace veskard::test
