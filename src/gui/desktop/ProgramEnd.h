#pragma once

namespace veskard::gui {

// The program's exit statuses, for the scripts that start it: the work was
// done, or it was refused, failed or cancelled.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;

// Ends the program at once, from wherever it stands (inside a modal dialog
// too): no window's closing step runs and nothing more is saved. Callers make
// sure that no job is running, so nothing is left half-written.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void now(int exitStatus) = 0;
};

class ImmediateProgramEnd final : public ProgramEnd {
public:
    [[noreturn]] void now(int exitStatus) override;
};

} // namespace veskard::gui
