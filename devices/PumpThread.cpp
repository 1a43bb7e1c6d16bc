#include "devices/PumpThread.h"

#include "core/DateTime.h"
#include "core/DiagnosticLog.h"
#include "core/UserMessages.h"

#include <utility>

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
    EndBeforeDestruction();
}

void TPSD4Thread::run()
{
    while (!ThreadOut.IsTerminated) {
        Synchronise();
        const bool stopping = ThreadIn.ToTerminate || IsAbandoned();
        {
            const DiagnosticQuiet quiet(fCommunication.IsLost());
            if (stopping) {
                StopCycle();
            } else if (ThreadIn.Command != Pump->LastCommand || fResend) {
                fResend = !ApplyCommand();
                // A pump that does not answer or never connected refuses every command at
                // once; pause so the worker does not spin against the window's thread.
                if (fResend)
                    msleep(IdlePauseMs);
            } else {
                msleep(IdlePauseMs);
            }
        }
        for (const QString& line : std::exchange(fChanges, {}))
            Log().Send(Name + u' ' + line);
        ThreadOut.DataTime = NowDays();
        ThreadOut.Communication = fCommunication.Report();
        if (stopping && IsEnding())
            ThreadOut.IsTerminated = true;
    }
    Synchronise();
}

void TPSD4Thread::StopCycle()
{
    // The shut-down names a pump that does not confirm its stop in its own message: no box
    // for each failed attempt.
    const DeviceMessageHold hold(DeviceMessageHold::ThisThread);
    // While stopping, the wanted program is never sent again: after a failed stop the
    // driver's last command is a status query, which would otherwise restart dosing.
    if (Pump->State() == ps_Undefined) {
        // The driver never reached a pump, so nothing was ever started that could need
        // stopping; waiting for it would only hold up the shut-down.
        Log().Send(Name + QStringLiteral(": pump never connected, nothing to stop"));
        ThreadOut.IsTerminated = true;
        ThreadOut.Command = QStringLiteral("TR");
        return;
    }
    const bool stopped = Pump->Stop();
    CountExchange(true);
    if (stopped) {
        ThreadOut.IsTerminated = true;
        ThreadOut.Command = QStringLiteral("TR");
    } else {
        ThreadOut.aMessage = QStringLiteral("Failed to terminate");
        msleep(IdlePauseMs);
    }
}

bool TPSD4Thread::ApplyCommand()
{
    const QString old = Pump->LastCommand;
    TSerialResponse response;
    const bool stopped = CountExchange(Pump->SendCommand(QStringLiteral("TR"), response, true));
    if (stopped) {
        Log().Send(QStringLiteral("New command applied"));
        Log().Send(QStringLiteral("Old: ") + old);
        Log().Send(QStringLiteral("New: TR"));
        ThreadOut.Setpoint = 0;
        ThreadOut.Command = QStringLiteral("TR");
    }
    if (!stopped || ThreadIn.Command == QStringLiteral("TR"))
        return stopped;
    if (!CountExchange(Pump->SendCommand(ThreadIn.Command, response, true)))
        return false;
    Log().Send(QStringLiteral("New command applied"));
    Log().Send(QStringLiteral("Old: ") + old);
    Log().Send(QStringLiteral("New: ") + ThreadIn.Command);
    ThreadOut.Setpoint = ThreadIn.Setpoint;
    ThreadOut.Command = ThreadIn.Command;
    return true;
}

bool TPSD4Thread::CountExchange(bool sent)
{
    const bool reached = sent && Pump->LastAnswerRead();
    CommunicationState::Change change = CommunicationState::Change::None;
    if (reached) {
        change = fCommunication.Succeeded();
    } else if (const QString& status = Pump->LastTransportStatus(); !status.isEmpty() || Pump->LastReply().isEmpty()) {
        const QString text = status.isEmpty() ? QStringLiteral("no answer") : status;
        change = fCommunication.Failed(ClassifyFailure(text, Pump->Port()), text);
    } else {
        change = fCommunication.Failed(LinkState::UnreadableReply,
                                       QStringLiteral("answered \"") + Pump->LastReply().trimmed() + u'"');
    }
    const QString line = fCommunication.DescribeChange(change);
    if (!line.isEmpty())
        fChanges << line;
    return reached;
}
