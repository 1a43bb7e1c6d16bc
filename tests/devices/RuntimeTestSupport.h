#pragma once
// Shared ground of the device runtime tests: short instrument timings, waiting while the
// window's event loop runs (the workers' exchanges arrive through it), and simulators.
#include "FastInstruments.h"
#include "devices/DeviceInfo.h"

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
