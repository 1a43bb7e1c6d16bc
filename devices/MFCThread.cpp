#include "devices/MFCThread.h"

#include "core/DateTime.h"
#include "core/DiagnosticLog.h"
#include "core/NumberText.h"

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
}

TMFCThread::TMFCThread(QObject* parent) : ExchangeWorker(parent) {}

TMFCThread::~TMFCThread()
{
    Log().Send(QStringLiteral("Destroy thread: ") + Name);
    wait();
}

void TMFCThread::run()
{
    if (!Simulated && MFC) {
        MFC->Initialize(TAlicatInitialize::TAIBlendorDampor);
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
    if (stopping) {
        ThreadIn.DeviceStatus.Setpoint_pct = 0;
        MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
    }
    MFC->ChangeGas(ThreadIn.DeviceStatus);
    ReportFullScale();
    TAlicatData reading;
    if (!MFC->ReadStatus(reading)) {
        Log().Send(Name + QStringLiteral(" ReadStatus failed"));
    } else {
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
            const double desired = ThreadIn.DeviceStatus.Setpoint_pct * 640;
            Log().Send(Name + QStringLiteral(" Main loop, Device setpoint: ") + FloatToStr(device));
            Log().Send(Name + QStringLiteral(" Main loop, Desired setpoint: ") + FloatToStr(desired));
            if (std::fabs(device - desired) <= SetpointTolerance)
                Log().Send(Name + QStringLiteral(" Setpoint data upto date"));
            else
                MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
        }
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
