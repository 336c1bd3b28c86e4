#include "app/program_exit.h"

#include <QCoreApplication>

#include "common/workers.h"

namespace {
std::function<void()>& Ending() {
    static std::function<void()> ending;
    return ending;
}
}  // namespace

void EndProgram() {
    // The backup and the transfers end first: none may still run while the program's static
    // objects are destroyed.
    StopWorkers();
    if (Ending()) return Ending()();
    QCoreApplication::exit(0);
}

void SetProgramEnding(std::function<void()> ending) {
    Ending() = std::move(ending);
}
