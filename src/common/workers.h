#pragma once
// Work on threads of its own (copies of the books, network transfers). The program's end and
// every test's end stop and wait for all of them, so that no worker still runs while the
// program's static objects are destroyed. From the main thread only.

#include <QThread>
#include <atomic>
#include <functional>

// Runs work on a new thread, then done on the thread of context unless context is gone by then.
// work is given a flag that turns true when it is to stop early; work that cannot stop early is
// waited for.
QThread* StartWorker(std::function<void(const std::atomic<bool>* stop)> work, QObject* context,
                     std::function<void()> done,
                     QThread::Priority priority = QThread::InheritPriority);

// Asks the worker on thread to stop and waits until it has ended; nothing for nullptr or a
// worker that has ended.
void StopWorker(QThread* thread);

// Stops every worker still running and waits for each.
void StopWorkers();
