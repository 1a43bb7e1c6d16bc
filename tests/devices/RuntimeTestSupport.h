#pragma once
// Shared ground of the device runtime tests: short instrument timings, waiting while the
// window's event loop runs (the workers' exchanges arrive through it), and simulators.
#include "devices/DeviceInfo.h"
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"

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

// Short transport and pump timings for every driver made while it lives.
class FastInstruments {
public:
    FastInstruments()
    {
        TPSD4Timing pump;
        pump.PollIntervalMS = 5;
        pump.ReadoutTimeoutMS = 150;
        pump.StopPollMS = 10;
        pump.StopLimit_s = 0.5;
        pump.WaitPollMS = 20;
        pump.SerialSettleMS = 10;
        pump.SerialWait_s = 1;
        fPump = SetPSD4Timing(pump);
        fAscii = SetSendASCIITimings({5, 200});
    }
    ~FastInstruments()
    {
        SetPSD4Timing(fPump);
        SetSendASCIITimings(fAscii);
    }

private:
    TPSD4Timing fPump;
    SendASCIITimings fAscii;
};
