#include "ui/EngineTick.h"

#include "core/Clock.h"
#include "core/NumberText.h"
#include "core/SegmentProgram.h"
#include "core/UserMessages.h"
#include "core/SetpointRange.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "instruments/PumpDispense.h"
#include "ui/DataTableLines.h"
#include "ui/LedStrip.h"
#include "ui/MainWindow.h"
#include "ui/pages/DeliveredFlow.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QThread>
#include <cmath>
#include <utility>

namespace {

constexpr double FullScaleCounts = 64000;

void SwitchLed(TDeviceLed* led, bool on)
{
    if (auto* lamp = dynamic_cast<DeviceLed*>(led))
        lamp->SetOn(on);
}

// Clears a flag when the tick ends, however it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : fFlag(flag) { fFlag = true; }
    ~RunningFlag() { fFlag = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& fFlag;
};

} // namespace

EngineTick::EngineTick(TGUIF& window)
    : fWindow(window)
    , fSleep([](int ms) { QThread::msleep(ms); })
{
}

void EngineTick::TimerEngineTimer()
{
    // A modal message shown inside a tick runs the event loop, and with it the timer: a tick
    // never starts inside another one, which would stack messages without end.
    if (fRunning)
        return;
    const RunningFlag running(fRunning);
    QElapsedTimer tickStart;
    tickStart.start();
    if (fWindow.EngineLed)
        fWindow.EngineLed->SetOn(true);

    const bool rowDue = LastDataRowTime + DataRowPeriod < NowDays();
    const QString stamp = rowDue ? DataRowStamp(ClockNow()) : QString();
    QString row;
    // By index: a message shown inside the loop may let the list change under it.
    for (std::size_t i = 0; i < DevicesLocal.size(); ++i) {
        double userFlow = NoReading;
        if (DevicesLocal[i].ThreadMFC && IsControllerType(DevicesLocal[i].DevType))
            ServeController(DevicesLocal[i], userFlow);
        if (i < DevicesLocal.size() && DevicesLocal[i].ThreadPump && DevicesLocal[i].DevType == dtPump)
            ServePump(DevicesLocal[i]);
        row += DataRowCell(userFlow);
    }
    if (rowDue && !row.trimmed().isEmpty())
        AddDataRow(stamp, row);

    fWindow.FlowDataSave(false, QStringLiteral("auto"));
    fWindow.MemoSegmentsUpdate();
    if (tickStart.elapsed() < ShortTickMs)
        fSleep(ShortTickMs);
    if (fWindow.EngineLed)
        fWindow.EngineLed->SetOn(false);
}

void EngineTick::ServeController(TDeviceInfo& device, double& userFlow)
{
    TMFCThread& thread = *device.ThreadMFC;
    TakeReport(device, thread.GUIIn.Report);
    thread.GUIOut.DeviceStatus.GasID = device.FluidID;
    ShowCommunication(fWindow, device, thread.GUIIn.Communication);
    // Without communication the column shows "?" rather than the last reading.
    if (!(thread.GUIIn.DeviceStatus.DataTime > device.LastHandled) || thread.GUIIn.IsTerminated
        || device.Communication.State != LinkState::Ok)
        return;
    // A copy: a message shown below (a malformed program) lets the worker's exchange run.
    const TAlicatData reading = thread.GUIIn.DeviceStatus;
    SwitchLed(device.Led, true);
    switch (device.ControlMode) {
    case dcmDirect:
        thread.GUIOut.DeviceStatus.Setpoint_pct = device.Setpoint_pct;
        break;
    case dcmSegment:
        thread.GUIOut.DeviceStatus.Setpoint_pct = ProgramSetpoint(device, device.Elapsed_min());
        break;
    case dcmIdle:
        break;
    }
    // Without the full scale there is no flow to show: no point and a "?" rather than a 0.
    if (!thread.GUIIn.FullScaleUnknown) {
        const double x = (NowDays() - fWindow.TimeOrigin) * MinutesPerDay;
        const double y = reading.FlowRate_mass / FullScaleCounts * 100;
        fWindow.FlowSerie(device, x, y, false);

        DefaultUnitGmin.GasFlowValue = reading.FlowRate_mass / FullScaleCounts * reading.MaxFlowgpm;
        DefaultUnitGmin.GasMolarMass = device.FlowUnitDevice.GasMolarMass;
        QString feedback;
        QString report;
        ConvertGasFlow(DefaultUnitGmin, device.FlowUnitUser, feedback, report);
        userFlow = device.FlowUnitUser.GasFlowValue;
        device.LastHandled_gpm = DefaultUnitGmin.GasFlowValue;
    }
    device.LastHandled = reading.DataTime;
    device.LastHandledCodes = reading.ErrorFlags;
    fWindow.NewReading(device);
    fSleep(LedPauseMs);
    SwitchLed(device.Led, false);
}

void EngineTick::ServePump(TDeviceInfo& device)
{
    TPSD4Thread& thread = *device.ThreadPump;
    TakeReport(device, thread.GUIIn.Report);
    ShowCommunication(fWindow, device, thread.GUIIn.Communication);
    SwitchLed(device.Led, true);
    switch (device.ControlMode) {
    case dcmDirect: {
        const double setpoint = PumpSetpointInRange(device.Setpoint_pct);
        GivePlan(thread, device, setpoint, PumpPlan(device, setpoint));
        break;
    }
    case dcmSegment: {
        // The dose changes at most every half minute, probed in the middle of that half minute.
        const double floorT = std::floor(2 * device.Elapsed_min()) / 2;
        const double probeT = floorT + 0.25;
        const double setpoint = PumpSetpointInRange(ProgramSetpoint(device, probeT));
        const double fraction = setpoint / 100;
        const TPumpSpeedDetails plan = PumpPlan(device, setpoint);
        fWindow.MM(QStringLiteral(" Pump segment program"));
        fWindow.MM(QStringLiteral("     Elapsed time, m : ") + FloatToStr(device.Elapsed_min()));
        fWindow.MM(QStringLiteral("       Floor time, m : ") + FloatToStr(floorT));
        fWindow.MM(QStringLiteral("Floor time+offset, m : ") + FloatToStr(probeT));
        fWindow.MM(QStringLiteral("  Device max flow, µL: ") + FloatToStr(device.MaxFlow_ulpm));
        fWindow.MM(QStringLiteral("         Setpoint, % : ") + FloatToStr(fraction));
        fWindow.MM(QStringLiteral(" Desired dispense, µg: ") + FloatToStr(plan.DesiredDispense_ugpm));
        fWindow.MM(QStringLiteral(" Achieveddispense, µg: ") + FloatToStr(plan.AchievedDispense_ugpm));
        fWindow.MM(QStringLiteral("              Command: ") + plan.Command);
        GivePlan(thread, device, setpoint, plan);
        break;
    }
    case dcmIdle:
        break;
    }
    const double x = (NowDays() - fWindow.TimeOrigin) * MinutesPerDay;
    fWindow.FlowSerie(device, x, thread.GUIIn.Setpoint * 100, false);
    // The worker stamps each of its cycles: while the pump answers, the dose it last confirmed
    // is the pump's reading, shown as the chart point above.
    if (thread.GUIIn.DataTime > device.LastHandled && device.Communication.State == LinkState::Ok) {
        device.LastHandled = thread.GUIIn.DataTime;
        fWindow.NewReading(device);
    }
    fSleep(LedPauseMs);
    SwitchLed(device.Led, false);
}

void EngineTick::TakeReport(const TDeviceInfo& device, TWorkerReport& report)
{
    const QStringList notices = std::exchange(report.Notices, {});
    for (const QString& notice : notices)
        fWindow.MM(device.NameRole + QStringLiteral(" (") + device.COMPort + QStringLiteral("): ") + notice);
    fWindow.RefreshDeviceState(device);
}

double EngineTick::ProgramSetpoint(const TDeviceInfo& device, double t)
{
    int unreadLines = 0;
    const double setpoint = SegmentAt(device.SegmentProgram, t, unreadLines).Setpoint;
    if (unreadLines == 0) {
        fToldPrograms.erase(device.COMPort);
        return setpoint;
    }
    // A modal message opened inside the tick would hold every device until it is confirmed
    // (no tick starts inside another), and the next tick would open it again: it is opened
    // once per program, from the event loop, and the ticks go on while it is open.
    const auto told = fToldPrograms.find(device.COMPort);
    if (told == fToldPrograms.end() || told->second != device.SegmentProgram) {
        fToldPrograms[device.COMPort] = device.SegmentProgram;
        QTimer::singleShot(0, &fWindow, [] { ShowMessage(QStringLiteral("Failed to read segment")); });
    }
    return setpoint;
}

void EngineTick::GivePlan(TPSD4Thread& thread, const TDeviceInfo& device, double setpoint, const TPumpSpeedDetails& plan)
{
    // Once for each new program, not on every tick that plans the same one again.
    if (plan.Command != thread.GUIOut.Command) {
        const QString note = PumpReachNote(device, setpoint, plan);
        if (!note.isEmpty())
            fWindow.MM(note);
    }
    thread.GUIOut.Command = plan.Command;
    thread.GUIOut.Setpoint = setpoint / 100;
}

double EngineTick::PumpSetpointInRange(double requested)
{
    const QString note = SetpointRangeNote(requested);
    if (!note.isEmpty())
        fWindow.MM(note);
    return SetpointInRange_pct(requested);
}

void EngineTick::AddDataRow(const QString& stamp, const QString& row)
{
    if (fWindow.DataTableHeaderDue) {
        fWindow.DataTableColumns();
        fWindow.DataTableHeaderDue = false;
    }
    fWindow.AppendDataRow(stamp + row);
    LastDataRowTime = NowDays();
}
