#include "app/program_exit.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "common/workers.h"
#include "store/shared_db.h"

namespace {
std::function<void()>& Ending() {
    static std::function<void()> ending;
    return ending;
}
bool endAsked = false;
}  // namespace

void EndProgram() {
    // The backup and the transfers end first: none may still run while the program's static
    // objects are destroyed.
    StopWorkers();
    if (Ending()) return Ending()();
    endAsked = true;
    QCoreApplication::exit(0);
}

bool ProgramEndAsked() {
    return endAsked;
}

void SetProgramEnding(std::function<void()> ending) {
    Ending() = std::move(ending);
}

namespace {

// The handler may only write to a file: the event loop reads the other end and ends the
// program there, where closing the database is allowed.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void EndProgramOnSignals() {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        StopWorkers();
        SharedRecordSet().Close();
        SharedConnection().Close();
        EndProgram();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}
