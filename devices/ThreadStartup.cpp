// Creating, preparing and starting a device's worker (TDeviceInfo::StartThread).
#include "devices/DeviceInfo.h"

#include "core/DiagnosticLog.h"

#include "devices/MFCThread.h"
#include "devices/PumpThread.h"

#include <QCoreApplication>

namespace {
// How long start-up waits for a pump to finish its initialisation.
constexpr double PumpStartTimeout_s = 15;
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
        thread->Pump->Connect(COMPort);
        QString feedback;
        thread->Pump->Initialize(QStringLiteral("ZN1R"), feedback);
        thread->Pump->WaitUntilFree(PumpStartTimeout_s);
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
