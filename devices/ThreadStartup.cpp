// Creating, preparing and starting a device's worker (TDeviceInfo::StartThread).
#include "devices/DeviceInfo.h"

#include "core/DiagnosticLog.h"

#include "devices/MFCThread.h"
#include "devices/PumpThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

namespace {
// Waits for a freshly connected pump to finish its initialisation such that the whole pump
// start-up, identification and initialisation command included, holds the window no longer
// than PumpStartLimit_s: the last status query of the wait may begin a poll interval after the
// wait's limit and take one full exchange.
void WaitForPumpStart(TPSD4& pump, const QElapsedTimer& started)
{
    const TPSD4Timing timing = PSD4Timing();
    // Half a second more for a machine busy with other work.
    const double lastQuery_s = (timing.WaitPollMS + timing.ReadoutTimeoutMS + 2.0 * timing.PollIntervalMS) / 1000 + 0.5;
    pump.WaitUntilFree(std::max(0.0, PumpStartLimit_s - started.elapsed() / 1000.0 - lastQuery_s));
}
}

bool TDeviceInfo::StartThread()
{
    if (ThreadMFC || ThreadPump)
        return false;
    // Workers are owned through Qt's parent ownership until the shut-down frees them.
    QObject* owner = QCoreApplication::instance();
    if (DevType == dtPump) {
        DeviceInfoLog().Send(QStringLiteral("StartThread Pump"));
        auto* thread = new TPSD4Thread(owner);
        thread->Name = NameRole;
        thread->Pump = std::make_unique<TPSD4>();
        // Prepared on the window's thread before the worker runs: the window waits here.
        QElapsedTimer started;
        started.start();
        if (thread->Pump->Connect(COMPort)) {
            QString feedback;
            thread->Pump->Initialize(QStringLiteral("ZN1R"), feedback);
            WaitForPumpStart(*thread->Pump, started);
        } else {
            // No pump answered the identification, so none can answer the initialisation: every
            // command would be refused, and waiting for one would only hold the window.
            DeviceInfoLog().Send(QStringLiteral("No pump answered on ") + COMPort);
        }
        thread->ThreadIn.IsTerminated = false;
        thread->ThreadIn.ToTerminate = false;
        thread->GUIIn.IsTerminated = false;
        thread->GUIOut.ToTerminate = false;
        DeviceInfoLog().Send(QStringLiteral("Create thread: ") + thread->Name);
        thread->start();
        ThreadPump = thread;
        DeviceInfoLog().Send(QStringLiteral("StartThread Pump"));
        return true;
    }
    if (DevType > dtMFCDemo)
        return false;
    DeviceInfoLog().Send(QStringLiteral("StartThread MFC"));
    auto* thread = new TMFCThread(owner);
    thread->Simulated = DevType == dtMFCDemo;
    thread->MFC = std::make_unique<TAlicatMFC>();
    thread->MFC->GasID = -1;
    thread->MFC->Role = QStringLiteral("A");
    thread->MFC->SetDeviceID('A');
    thread->MFC->COM().SetPort(COMPort.toLatin1());
    thread->MFC->COM().SetBaudRate(19200);
    thread->ThreadID = COMPort;
    thread->Name = COMPort;
    thread->ThreadIn.IsTerminated = false;
    thread->ThreadIn.ToTerminate = false;
    thread->GUIOut.ToTerminate = false;
    DeviceInfoLog().Send(QStringLiteral("Create thread: ") + thread->ThreadID + QStringLiteral(" - ") + thread->Name);
    thread->start();
    ThreadMFC = thread;
    DeviceInfoLog().Send(QStringLiteral("StartThread MFC"));
    return true;
}
