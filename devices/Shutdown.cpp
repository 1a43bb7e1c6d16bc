#include "devices/Shutdown.h"

#include "core/UserMessages.h"
#include "devices/DeviceInfo.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/WindowPort.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int WaitLogPeriodMs = 500;
constexpr int EventSliceMs = 10;
constexpr int PauseAfterDeviceMs = 50;

WorkerThread* WorkerOf(const TDeviceInfo& device)
{
    if (device.ThreadMFC)
        return device.ThreadMFC;
    return device.ThreadPump;
}

// Keeps the window's messages flowing for about ms milliseconds.
void ServeWindow(WindowPort& window, int ms)
{
    QElapsedTimer slice;
    slice.start();
    do {
        window.ProcessEvents();
        QThread::msleep(EventSliceMs);
    } while (slice.elapsed() < ms);
}

QString Unconfirmed()
{
    QStringList names;
    for (const TDeviceInfo& device : DevicesLocal) {
        const WorkerThread* worker = WorkerOf(device);
        if (worker && !worker->ReportedTerminated())
            names << device.NameRole + QStringLiteral(" (") + device.COMPort + QStringLiteral(")");
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

void MarkThreadsToStop()
{
    for (TDeviceInfo& device : DevicesLocal)
        if (WorkerThread* worker = WorkerOf(device))
            worker->RequestStop();
}

int ActiveThreadCount()
{
    int count = 0;
    for (const TDeviceInfo& device : DevicesLocal)
        if (const WorkerThread* worker = WorkerOf(device); worker && !worker->ReportedTerminated())
            ++count;
    return count;
}

QString TerminateThreads(WindowPort& window, double Timeout_s, AfterShutdown after)
{
    // A box opened inside the wait would run its own event loop there, and a failing pump
    // raises one for every failed exchange: the devices that do not stop are named once, below.
    const DeviceMessageHold hold(DeviceMessageHold::Everywhere);
    window.LockWindow(QStringLiteral("Waiting for communication threads to stop device actions and terminate. "
                                     "User interface will be unresponsive until done. "),
                      QStringLiteral("In case on emergency, cut the power to any device to stop gas flow."));
    window.ProcessEvents();

    const int initial = ActiveThreadCount();
    window.MM(QStringLiteral("DevicesLocal size: ") + QString::number(DevicesLocal.size()));
    window.MM(QStringLiteral("Active threads: ") + QString::number(initial));
    window.MM(QStringLiteral("Mark threads to stop"));
    MarkThreadsToStop();

    QElapsedTimer waited;
    waited.start();
    while (ActiveThreadCount() > 0 && waited.elapsed() < qint64(Timeout_s * 1000)) {
        ServeWindow(window, WaitLogPeriodMs);
        const int active = ActiveThreadCount();
        window.MM(QStringLiteral("Waiting for threads to stop. Active threads: ") + QString::number(active)
                  + QStringLiteral("/") + QString::number(initial));
        window.ShowProgress(QStringLiteral("Stopping devices: ") + Unconfirmed(), initial - active, initial);
    }

    const QString unconfirmed = Unconfirmed();
    QString notice;
    if (!unconfirmed.isEmpty()) {
        const QString next = after == AfterShutdown::KeepRunning
                                 ? QStringLiteral("The program keeps trying to stop them in the background. "
                                                  "Check these instruments and cut their gas supply or power if needed.")
                                 : QStringLiteral("The program ends when you confirm this message and then no longer "
                                                  "tries to stop them. Check these instruments now and cut their gas "
                                                  "supply or power.");
        notice = QStringLiteral("These devices did not confirm zero flow within %1 s: %2. ").arg(Timeout_s).arg(unconfirmed)
                 + next;
        window.MM(notice);
    }

    window.MM(QStringLiteral("Active threads: ") + QString::number(ActiveThreadCount()));
    window.MM(QStringLiteral("Terminate threads"));
    for (auto device = DevicesLocal.rbegin(); device != DevicesLocal.rend(); ++device) {
        for (WorkerThread* worker : {static_cast<WorkerThread*>(device->ThreadMFC), static_cast<WorkerThread*>(device->ThreadPump)}) {
            if (!worker)
                continue;
            std::unique_ptr<WorkerThread> owned(worker);
            if (worker->ReportedTerminated())
                owned.reset();
            else
                AbandonWorker(std::move(owned));
        }
        device->ThreadMFC = nullptr;
        device->ThreadPump = nullptr;
        // The LED is the window's widget; the record owns it from Apply to here.
        delete device->Led;
        device->Led = nullptr;
        QThread::msleep(PauseAfterDeviceMs);
    }

    window.MM(unconfirmed.isEmpty() ? QStringLiteral("All threads terminated, marking devices unconfigured")
                                    : QStringLiteral("Threads terminated except those of ") + unconfirmed
                                          + QStringLiteral(", marking devices unconfigured"));
    window.MarkAllRowsUnknown();
    for (auto device = DevicesLocal.rbegin(); device != DevicesLocal.rend(); ++device) {
        device->FluidID = 0;
        device->SegmentProgram.clear();
        device->Communication = {};
        window.ShowDeviceDetails(*device);
    }
    window.UnlockWindow();
    window.ClearGraph(true);
    return notice;
}
