#pragma once
// Waiting in a test while the window's event loop runs: the workers' exchanges and the
// window's timers arrive through it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// Runs the window's events until done() holds or timeoutMs passes; returns done().
inline bool ServeUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}
