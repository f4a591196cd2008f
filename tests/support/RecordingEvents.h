#pragma once

#include "engine/JobEvents.h"
#include "engine/OperationLog.h"

#include <functional>
#include <vector>

namespace veskard::test {

// Keeps what a job tells: every change of the log, the log as a window would
// show it, and every progress report. `onProgress` runs at each report, for a
// test that acts in the middle of a job.
class RecordingEvents final : public engine::JobEvents {
public:
    void logChanged(const engine::LogChange& change) override {
        changes.push_back(change);
        log.apply(change);
    }
    void progressed(const engine::ByteProgress& progress) override {
        reports.push_back(progress);
        if (onProgress)
            onProgress(progress);
    }

    std::vector<engine::LogChange> changes;
    engine::OperationLog log;
    std::vector<engine::ByteProgress> reports;
    std::function<void(const engine::ByteProgress&)> onProgress;
};

} // namespace veskard::test
