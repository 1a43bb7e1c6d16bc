#include "devices/MFCThread.h"

#include "core/DateTime.h"
#include "core/GasItem.h"
#include "core/GasTable.h"
#include "core/DiagnosticLog.h"
#include "core/NumberText.h"
#include "core/SetpointRange.h"

#include <QRandomGenerator>
#include <cmath>

namespace {
const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::ThreadMFC);
    return log;
}

// 1/64000: one count of the controller's setpoint.
constexpr double SetpointTolerance = 1.5625e-5;
// After a failed exchange: a held port fails at once, and without a pause the worker would
// retry thousands of times a second.
constexpr unsigned long FailurePauseMs = 250;
}

TMFCThread::TMFCThread(QObject* parent) : ExchangeWorker(parent) {}

TMFCThread::~TMFCThread()
{
    Log().Send(QStringLiteral("Destroy thread: ") + Name);
    EndBeforeDestruction();
}

void TMFCThread::run()
{
    if (!Simulated && MFC) {
        if (!MFC->Initialize(TAlicatInitialize::TAIBlendorDampor) && !MFC->InitializeAnswered()) {
            // Seven unanswered commands: the controller is not there; it is initialised again
            // once it answers.
            const QString status = MFC->LastFailure.Status;
            LogCommunication(fCommunication.Failed(ClassifyFailure(status, ThreadID), status,
                                                   CommunicationState::FailuresUntilLost));
            ThreadOut.Communication = fCommunication.Report();
        }
        ReportInitialization();
    }
    while (!ThreadOut.IsTerminated) {
        Synchronise();
        // A worker the window gave up waiting for keeps driving its instrument to rest.
        const bool stopping = ThreadIn.ToTerminate || IsAbandoned();
        if (Simulated || !MFC) {
            SimulatedCycle();
            if (stopping)
                ThreadOut.IsTerminated = true;
        } else {
            ControllerCycle(stopping);
        }
        if (stopping && IsEnding())
            ThreadOut.IsTerminated = true;
    }
    Synchronise();
}

void TMFCThread::SimulatedCycle()
{
    Log().Send(Name + QStringLiteral(" Simulated "));
    msleep(500 + QRandomGenerator::global()->bounded(500));
    ThreadOut.DeviceStatus.DataTime = NowDays();
    ThreadOut.DeviceStatus.FlowRate_mass = QRandomGenerator::global()->bounded(1000) / 1000.0;
}

void TMFCThread::ControllerCycle(bool stopping)
{
    TAlicatData reading;
    bool read = false;
    {
        // Once communication is lost, the exchanges' own lines would repeat every cycle.
        const DiagnosticQuiet quiet(fCommunication.IsLost());
        if (stopping) {
            ThreadIn.DeviceStatus.Setpoint_pct = 0;
            MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
        }
        MFC->ChangeGas(ThreadIn.DeviceStatus);
        ReportFullScale();
        read = MFC->ReadStatus(reading);
        if (!read)
            Log().Send(Name + QStringLiteral(" ReadStatus failed"));
    }
    if (read) {
        HandleReading(reading, stopping, fCommunication.Succeeded());
    } else {
        const TAlicatFailure& failure = MFC->LastFailure;
        const LinkState kind = failure.Unreadable ? LinkState::UnreadableReply : ClassifyFailure(failure.Status, ThreadID);
        const QString status = failure.Unreadable ? QStringLiteral("answered \"") + failure.Reply.trimmed() + u'"'
                                                  : failure.Status;
        LogCommunication(fCommunication.Failed(kind, status));
    }
    ThreadOut.Communication = fCommunication.Report();
    if (!read)
        msleep(FailurePauseMs);
}

void TMFCThread::HandleReading(const TAlicatData& reading, bool stopping, CommunicationState::Change change)
{
    LogCommunication(change);
    if (!stopping) {
        const QString reason = change == CommunicationState::Change::Restored ? QStringLiteral("communication returned")
                                                                              : GasMismatch(reading);
        if (!reason.isEmpty()) {
            // The reading came from a controller that was not set up: the next cycle reads it
            // as it is now.
            Reinitialise(reason);
            return;
        }
    }
    Log().Send(Name + QStringLiteral(" Status read OK "));
    ThreadOut.DeviceStatus = reading;
    ThreadOut.DeviceStatus.DataTime = NowDays();
    ThreadOut.DeviceStatus.MaxFlowgpm = MFC->MaxFlow_gpm;
    if (stopping) {
        ThreadOut.IsTerminated = true;
        return;
    }
    QString errors;
    if (ThreadOut.DeviceStatus.Errors(errors)) {
        Log().Send(Name + QStringLiteral(" Errors: ") + errors);
    } else {
        Log().Send(Name + QStringLiteral(" No errors"));
        const double device = ThreadOut.DeviceStatus.SetpointFromDevice;
        // As the driver will send it: a setpoint it brings into range would otherwise
        // never match and be sent again every cycle.
        const double desired = SetpointInRange_pct(ThreadIn.DeviceStatus.Setpoint_pct) * 640;
        Log().Send(Name + QStringLiteral(" Main loop, Device setpoint: ") + FloatToStr(device));
        Log().Send(Name + QStringLiteral(" Main loop, Desired setpoint: ") + FloatToStr(desired));
        if (std::fabs(device - desired) <= SetpointTolerance)
            Log().Send(Name + QStringLiteral(" Setpoint data upto date"));
        else
            MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
    }
    Log().Send(QStringLiteral("In loop port:") + QString::fromLatin1(MFC->COM().Port()));
}

void TMFCThread::ReportInitialization()
{
    ThreadOut.Report.Notices += MFC->InitializeReport;
}

void TMFCThread::ReportFullScale()
{
    if (!MFC->FullScaleAsked)
        return;
    const bool known = MFC->FullScaleKnown();
    ThreadOut.FullScaleUnknown = !known;
    ThreadOut.Report.Condition = known ? QString() : FullScaleUnknownCondition;
    const QString notice = known ? QString()
                                 : FullScaleUnknownCondition + QStringLiteral(" (reply: \"") + MFC->FullScaleReply
                                       + QStringLiteral("\"); its flows are left out");
    if (notice == fFullScaleNotice)
        return;
    if (known)
        ThreadOut.Report.Notices << QStringLiteral("full scale read: ") + FloatToStr(MFC->MaxFlow_gpm) + QStringLiteral(" g/min");
    else
        ThreadOut.Report.Notices << notice;
    fFullScaleNotice = notice;
}

QString TMFCThread::GasMismatch(const TAlicatData& reading)
{
    TGasItem selected;
    const QString label = reading.GasSN.trimmed();
    if (MFC->GasID < 0 || label.isEmpty() || !TryGetGas_ID(MFC->GasID, selected)
        || label.compare(selected.NameShort, Qt::CaseInsensitive) == 0) {
        fMismatchHandled.clear();
        return {};
    }
    // A controller that keeps its own label after being set up again is not set up over and
    // over: once per label is enough.
    if (label == fMismatchHandled)
        return {};
    fMismatchHandled = label;
    return QStringLiteral("it reported gas ") + label + QStringLiteral(" instead of ") + selected.NameShort;
}

void TMFCThread::Reinitialise(const QString& reason)
{
    Log().Send(Name + QStringLiteral(" Initialising the controller again: ") + reason);
    MFC->Initialize(TAlicatInitialize::TAIBlendorDampor);
    ReportInitialization();
    // A fresh controller runs on its default gas whatever the driver selected before.
    MFC->GasID = -1;
    MFC->ChangeGas(ThreadIn.DeviceStatus);
    ReportFullScale();
    MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
    fCommunication.Reinitialised(reason);
}

void TMFCThread::LogCommunication(CommunicationState::Change change)
{
    const QString line = fCommunication.DescribeChange(change);
    if (!line.isEmpty())
        Log().Send(Name + u' ' + line);
    else if (change == CommunicationState::Change::None && fCommunication.CountDue())
        Log().Send(Name + QStringLiteral(" Still ") + LinkStateText(fCommunication.Report().State) + QStringLiteral(": ")
                   + QString::number(fCommunication.Report().FailedExchanges) + QStringLiteral(" failed exchanges"));
}
