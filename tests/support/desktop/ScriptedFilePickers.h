#pragma once

#include "gui/desktop/FilePickers.h"

#include <deque>
#include <vector>

#include <gtest/gtest.h>

namespace veskard::test {

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

} // namespace veskard::test
