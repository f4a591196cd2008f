#include "support/ChildProcess.h"

#include <stdexcept>
#include <windows.h>

namespace veskard::test {

// No console: the child cannot ask anyone anything.
void ChildProcess::start(const QString& program, const QStringList& arguments, bool terminal) {
    if (terminal)
        throw std::runtime_error("a child on a terminal is a POSIX test only");
    process_.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* created) { created->flags |= DETACHED_PROCESS; });
    process_.start(program, arguments);
}

ChildProcess::~ChildProcess() {
    process_.kill(); // before QProcess, which would warn that it still runs
    process_.waitForFinished(-1);
}

void ChildProcess::type(std::string_view) {}

void ChildProcess::readTerminal() {}

} // namespace veskard::test
