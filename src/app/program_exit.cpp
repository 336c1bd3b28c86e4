#include "app/program_exit.h"

#include <QCoreApplication>

namespace {
std::function<void()>& Ending() {
    static std::function<void()> ending;
    return ending;
}
}  // namespace

void EndProgram() {
    if (Ending()) return Ending()();
    QCoreApplication::exit(0);
}

void SetProgramEnding(std::function<void()> ending) {
    Ending() = std::move(ending);
}
