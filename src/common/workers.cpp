#include "common/workers.h"

#include <QList>
#include <QPointer>
#include <memory>

namespace {

struct Worker {
    QPointer<QThread> thread;  // null once the finished thread was deleted
    std::shared_ptr<std::atomic<bool>> stop;
};

QList<Worker>& Workers() {
    static QList<Worker> workers;
    return workers;
}

void Stop(const Worker& worker) {
    if (!worker.thread) return;
    worker.stop->store(true);
    worker.thread->wait();
}

}  // namespace

QThread* StartWorker(std::function<void(const std::atomic<bool>* stop)> work, QObject* context,
                     std::function<void()> done, QThread::Priority priority) {
    auto stop = std::make_shared<std::atomic<bool>>(false);
    QThread* thread = QThread::create([work = std::move(work), stop] { work(stop.get()); });
    QObject::connect(thread, &QThread::finished, context, std::move(done));
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QList<Worker>& workers = Workers();
    workers.removeIf([](const Worker& w) { return w.thread.isNull(); });
    workers.append({thread, stop});
    thread->start(priority);
    return thread;
}

void StopWorker(QThread* thread) {
    if (!thread) return;
    for (const Worker& w : std::as_const(Workers()))
        if (w.thread == thread) Stop(w);
}

void StopWorkers() {
    QList<Worker>& workers = Workers();
    for (const Worker& w : std::as_const(workers)) Stop(w);
    workers.clear();
}
