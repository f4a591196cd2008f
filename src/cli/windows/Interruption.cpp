#include "cli/Interruption.h"

#include "platform/windows/Win32.h"

#include <atomic>

namespace veskard::cli {
namespace {

// The console calls its control handlers on a thread of their own, which may
// ask for the stop directly.
std::atomic<std::stop_source*> stopping = nullptr;
std::atomic<bool> jobRunning = false;

BOOL WINAPI onControl(DWORD event) {
    std::stop_source* const source = stopping.load();
    if (!source)
        return FALSE;
    source->request_stop();
    // Closing the console ends the process once this returns: give the job a
    // few seconds to remove its temporary file first.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        for (int wait = 0; wait < 40 && jobRunning.load(); ++wait)
            ::Sleep(100);
    }
    return TRUE;
}

} // namespace

class StopOnInterrupt::Watch {
public:
    explicit Watch(std::stop_source& source) {
        stopping = &source;
        jobRunning = true;
        ::SetConsoleCtrlHandler(onControl, TRUE);
    }
    // A handler still waiting for the job lets go first; the console may not
    // remove a handler while one runs.
    ~Watch() {
        jobRunning = false;
        stopping = nullptr;
        ::SetConsoleCtrlHandler(onControl, FALSE);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
};

StopOnInterrupt::StopOnInterrupt(std::stop_source& source)
    : watch_(std::make_unique<Watch>(source)) {}

StopOnInterrupt::~StopOnInterrupt() = default;

} // namespace veskard::cli
