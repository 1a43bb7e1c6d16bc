#pragma once
// Shared ground of the page workings' tests: a stand-in for the main window that records
// what the workings ask of it, a settable clock, and worker objects that stand for a
// configured device without running.
#include "core/Clock.h"
#include "core/DateTime.h"
#include "devices/DeviceInfo.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "ui/pages/DevicePagesWindow.h"

#include <QDateTime>
#include <QStringList>
#include <memory>
#include <vector>

class RecordedLed : public TDeviceLed {
public:
    QRgb OffColor = 0;
    int Colourings = 0;
};

class RecordingPagesWindow : public TDevicePagesWindow {
public:
    QStringList log;
    QStringList shown;              // ports passed to ShowDeviceDetails, in order
    std::vector<TDeviceInfo> shownDevices;
    int ledsAdded = 0;
    int mixSetups = 0;
    bool headerDue = false;
    QStringList saves;              // "force Suffix" or "Suffix"
    QStringList flowSeriesCleared;  // ports
    QStringList startUps;           // ShowWorkerStartUp texts, in order

    void MM(const QString& aMessage) override { log << aMessage; }
    void ShowDeviceDetails(const TDeviceInfo& aDevInfo) override
    {
        shown << aDevInfo.COMPort;
        shownDevices.push_back(aDevInfo);
    }
    // Owned by the device record from here on, freed by the shut-down.
    TDeviceLed* AddLedForThread() override
    {
        ++ledsAdded;
        return new RecordedLed;
    }
    void ShowWorkerStartUp(const QString& what) override { startUps << what; }
    void SetDeviceLedColor(TDeviceLed& Led, QRgb OffColor) override
    {
        auto& led = dynamic_cast<RecordedLed&>(Led);
        led.OffColor = OffColor;
        ++led.Colourings;
    }
    void MixMakerComponentSetup() override { ++mixSetups; }
    void SetDataTableHeaderDue() override { headerDue = true; }
    void FlowDataSave(bool ForceSave, const QString& Suffix) override
    {
        saves << (ForceSave ? QStringLiteral("force ") : QString()) + Suffix;
    }
    void ClearFlowSerie(TDeviceInfo& aDevice) override { flowSeriesCleared << aDevice.COMPort; }
};

// The clock stands at a moment the test sets while this lives.
class TestClock {
public:
    explicit TestClock(const QDateTime& start) : fPrevious(SetClockSource(&Now)) { Moment() = start; }
    ~TestClock() { SetClockSource(fPrevious); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    void Advance(qint64 seconds) { Moment() = Moment().addSecs(seconds); }
    double Days() const { return DateTimeToDays(Moment()); }

private:
    static QDateTime& Moment()
    {
        static QDateTime moment;
        return moment;
    }
    static QDateTime Now() { return Moment(); }
    ClockSource fPrevious;
};

// Worker objects that are never started: a record holding one counts as configured, and a
// stop request lands in its outgoing record. Taken out of DevicesLocal and freed at the end.
class IdleWorkers {
public:
    ~IdleWorkers()
    {
        for (TDeviceInfo& device : DevicesLocal) {
            device.ThreadMFC = nullptr;
            device.ThreadPump = nullptr;
        }
    }
    TMFCThread* Controller() { return fControllers.emplace_back(std::make_unique<TMFCThread>()).get(); }
    TPSD4Thread* Pump() { return fPumps.emplace_back(std::make_unique<TPSD4Thread>()).get(); }

private:
    std::vector<std::unique_ptr<TMFCThread>> fControllers;
    std::vector<std::unique_ptr<TPSD4Thread>> fPumps;
};
