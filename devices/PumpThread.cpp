#include "devices/PumpThread.h"

#include "core/DateTime.h"
#include "core/DiagnosticLog.h"

namespace {
const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::ThreadPUMP);
    return log;
}

constexpr unsigned long IdlePauseMs = 250;
}

TPSD4Thread::TPSD4Thread(QObject* parent) : ExchangeWorker(parent) {}

TPSD4Thread::~TPSD4Thread()
{
    Log().Send(QStringLiteral("Destroy thread: ") + Name);
    wait();
}

void TPSD4Thread::run()
{
    while (!ThreadOut.IsTerminated) {
        Synchronise();
        if (ThreadIn.ToTerminate || IsAbandoned()) {
            // While stopping, the wanted program is never sent again: after a failed stop the
            // driver's last command is a status query, which would otherwise restart dosing.
            if (Pump->State() == ps_Undefined) {
                // The driver never reached a pump, so nothing was ever started that could
                // need stopping; waiting for it would only hold up the shut-down.
                Log().Send(Name + QStringLiteral(": pump never connected, nothing to stop"));
                ThreadOut.IsTerminated = true;
                ThreadOut.Command = QStringLiteral("TR");
            } else if (Pump->Stop()) {
                ThreadOut.IsTerminated = true;
                ThreadOut.Command = QStringLiteral("TR");
            } else {
                ThreadOut.aMessage = QStringLiteral("Failed to terminate");
                msleep(IdlePauseMs);
            }
        } else if (ThreadIn.Command != Pump->LastCommand) {
            ApplyCommand();
        } else {
            msleep(IdlePauseMs);
        }
        ThreadOut.DataTime = NowDays();
    }
    Synchronise();
}

void TPSD4Thread::ApplyCommand()
{
    const QString old = Pump->LastCommand;
    TSerialResponse response;
    const bool answered = Pump->SendCommand(QStringLiteral("TR"), response, true);
    if (answered) {
        Log().Send(QStringLiteral("New command applied"));
        Log().Send(QStringLiteral("Old: ") + old);
        Log().Send(QStringLiteral("New: TR"));
        ThreadOut.Setpoint = 0;
    }
    if (ThreadIn.Command != QStringLiteral("TR") && Pump->SendCommand(ThreadIn.Command, response, true)) {
        Log().Send(QStringLiteral("New command applied"));
        Log().Send(QStringLiteral("Old: ") + old);
        Log().Send(QStringLiteral("New: ") + ThreadIn.Command);
        ThreadOut.Setpoint = ThreadIn.Setpoint;
    }
    // A pump that never connected refuses every command at once; pause so the worker does
    // not spin against the window's thread.
    if (!answered)
        msleep(IdlePauseMs);
}
