#pragma once
// The engine tick: once a second every device with a worker gets its gas and setpoint (the
// direct setpoint or its segment program at the elapsed time) and gives back its latest
// reading, which is plotted, converted into the operator's unit and, every three seconds, put
// into a data row; pumps get their dose program. The tick only reads and writes the workers'
// exchange records, so it never waits on an instrument.
#include "core/DateTime.h"
#include "devices/DeviceInfo.h"
#include "devices/WorkerThread.h"
#include "instruments/PumpDispense.h"

#include <functional>
#include <map>

class TGUIF;
class TPSD4Thread;

class EngineTick {
public:
    using SleepFunction = std::function<void(int ms)>;

    // The minimum spacing of data rows (days).
    static constexpr double DataRowPeriod = 3 / SecondsPerDay;
    // The short pauses that keep the LEDs visible.
    static constexpr int LedPauseMs = 10;
    static constexpr int ShortTickMs = 30;

    explicit EngineTick(TGUIF& window);

    void TimerEngineTimer();

    // The moment of the last data row (days); 0 at start.
    double LastDataRowTime = 0;

    // Replaces the pauses (accelerated runs skip them).
    void SetSleep(SleepFunction sleep) { fSleep = std::move(sleep); }

private:
    // Serves a controller; userFlow gets its reading in the operator's unit when it had a new one.
    void ServeController(TDeviceInfo& device, double& userFlow);
    void ServePump(TDeviceInfo& device);
    // The worker's notices go to the message log, its condition to the device's row.
    void TakeReport(const TDeviceInfo& device, TWorkerReport& report);
    // The pump's dose is planned here from its setpoint, so this is where it is brought into
    // 0 … 100 % (and the message log told).
    double PumpSetpointInRange(double requested);
    // Hands the worker the planned program and its setpoint, and tells the operator when a newly
    // planned program cannot dose what the setpoint asks.
    void GivePlan(TPSD4Thread& thread, const TDeviceInfo& device, double setpoint, const TPumpSpeedDetails& plan);
    void AddDataRow(const QString& stamp, const QString& row);
    // The setpoint of the device's program at t minutes; a program with lines that cannot be
    // read is told to the operator once, after the tick.
    double ProgramSetpoint(const TDeviceInfo& device, double t);

    TGUIF& fWindow;
    SleepFunction fSleep;
    bool fRunning = false;
    // Per port, the unreadable program last told to the operator.
    std::map<QString, QString> fToldPrograms;
};
