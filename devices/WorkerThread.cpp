#include "devices/WorkerThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

#include <vector>

namespace {
std::vector<std::unique_ptr<WorkerThread>> gAbandoned;
}

void AbandonWorker(std::unique_ptr<WorkerThread> worker)
{
    if (!worker)
        return;
    worker->fAbandoned = true;
    worker->setParent(nullptr);
    gAbandoned.push_back(std::move(worker));
}

int AbandonedWorkersRunning()
{
    std::erase_if(gAbandoned, [](const std::unique_ptr<WorkerThread>& worker) { return worker->isFinished(); });
    return int(gAbandoned.size());
}

void WorkerThread::EndBeforeDestruction()
{
    fEnding = true;
    QCoreApplication* app = QCoreApplication::instance();
    const bool onWindowThread = app && app->thread() == QThread::currentThread();
    while (!wait(QDeadlineTimer(20)))
        if (onWindowThread)
            QCoreApplication::sendPostedEvents(app, QEvent::MetaCall);
}

void WorkerThread::Synchronise()
{
    if (IsAbandoned())
        return;
    QObject* window = QCoreApplication::instance();
    if (!window || window->thread() == QThread::currentThread()) {
        DataExchange();
        return;
    }
    QMetaObject::invokeMethod(window, [this] { DataExchange(); }, Qt::BlockingQueuedConnection);
}
