#include "ui/pages/InstrumentTools.h"

#include "core/QStringPrinter.h"
#include "core/UserMessages.h"
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"

#include <QElapsedTimer>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Everything an action asks of the window, in order: "message: …", "lock", "unlock",
// "progress: …".
class RecordingWindow : public TInstrumentToolsWindow {
public:
    void ShowModalMessage(const QString& text) override { Events << QStringLiteral("message: ") + text; }
    void LockWindow() override { Events << QStringLiteral("lock"); }
    void UnlockWindow() override { Events << QStringLiteral("unlock"); }
    void Progress(const QString& text) override { Events << QStringLiteral("progress: ") + text; }

    QStringList Events;
};

// Worker threads are only ever asked whether they exist.
template <typename Thread>
Thread* SomeThread()
{
    return reinterpret_cast<Thread*>(std::uintptr_t(0x1000));
}

const QString SafetyPrime = QStringLiteral(
    "message: For safety, this will disable the form and stop any new changes on devices until completed. Software "
    "will be unresponsive until pump stops.");
const QString SafetySyringe = QStringLiteral(
    "message: For safety, this will disable the form and stop any new changes on devices until completed.");

// Short transport and pump timings for every test; the driver's own messages are collected.
class InstrumentToolsTest : public ::testing::Test {
protected:
    InstrumentToolsTest()
        : fPumpTiming(SetPSD4Timing(FastPump())), fControllerTiming(SetSendASCIITimings({5, 150}))
    {
    }
    ~InstrumentToolsTest() override
    {
        SetPSD4Timing(fPumpTiming);
        SetSendASCIITimings(fControllerTiming);
    }

    static TPSD4Timing FastPump()
    {
        TPSD4Timing timing;
        timing.PollIntervalMS = 5;
        timing.ReadoutTimeoutMS = 150;
        timing.StopPollMS = 10;
        timing.WaitPollMS = 10;
        return timing;
    }

    static TDeviceInfo Device(tDeviceType type, const QString& port)
    {
        TDeviceInfo device;
        device.DevType = type;
        device.COMPort = port;
        return device;
    }

    // A pump simulator a thousand times faster than the instrument.
    static std::shared_ptr<PumpSimulator> FastPumpSimulator()
    {
        PumpSimulatorOptions options;
        options.TimeScale = 0.001;
        return std::make_shared<PumpSimulator>(options);
    }

    static QList<QByteArray> NonEmptyLines(const SimulatorHost& host)
    {
        QList<QByteArray> lines = host.ReceivedLines();
        lines.removeAll(QByteArray());
        return lines;
    }

    MessageCapture fDriverMessages;
    RecordingWindow fWindow;

private:
    TPSD4Timing fPumpTiming;
    SendASCIITimings fControllerTiming;
};

TEST_F(InstrumentToolsTest, PrimingRunsTheLoopsAndSaysWhenDone)
{
    const auto pump = FastPumpSimulator();
    SimulatorHost host(pump);
    ASSERT_TRUE(host.IsOpen()) << host.ErrorText().toStdString();
    const QString port = host.PortPath();

    PrimePumpTool(Device(dtPump, port), 3, fWindow);

    EXPECT_TRUE(NonEmptyLines(host).contains("/1V3000gIA24000OA0G3R"));
    EXPECT_EQ(pump->LastProgram(), QByteArray("V3000gIA24000OA0G3R"));
    EXPECT_FALSE(pump->Busy());
    EXPECT_EQ(pump->PlungerPosition(), 0);
    EXPECT_EQ(fWindow.Events, (QStringList{
                                  SafetyPrime,
                                  "lock",
                                  "progress: Priming " + port + ": working, may take up to 60 s",
                                  "progress: Priming " + port + ": working, may take up to 15 s",
                                  "message: One priming loop done, software is now reponsive again.",
                                  "unlock",
                              }));
    EXPECT_TRUE(fDriverMessages.Texts().isEmpty()) << fDriverMessages.Texts().join(" | ").toStdString();
}

TEST_F(InstrumentToolsTest, PrimingWaitsForEveryLoopBeforeUnlocking)
{
    // A loop takes 4.6 s on the pump, 46 ms here: three loops outlast one loop's wait of
    // 100 ms but not three of them.
    PumpSimulatorOptions options;
    options.TimeScale = 0.01;
    const auto pump = std::make_shared<PumpSimulator>(options);
    SimulatorHost host(pump);
    ASSERT_TRUE(host.IsOpen());
    TPumpToolWaits waits;
    waits.PerMove_s = 0.1;

    PrimePumpTool(Device(dtPump, host.PortPath()), 3, fWindow, waits);

    EXPECT_FALSE(pump->Busy());
    ASSERT_GE(fWindow.Events.size(), 2);
    EXPECT_EQ(fWindow.Events.mid(fWindow.Events.size() - 2),
              (QStringList{"message: One priming loop done, software is now reponsive again.", "unlock"}));
}

TEST_F(InstrumentToolsTest, SyringeChangeHoldsThePlungerOutWhileTheOperatorWorks)
{
    const auto pump = FastPumpSimulator();
    SimulatorHost host(pump);
    ASSERT_TRUE(host.IsOpen()) << host.ErrorText().toStdString();
    const QString port = host.PortPath();

    ChangeSyringeTool(Device(dtPump, port), fWindow);

    EXPECT_TRUE(NonEmptyLines(host).contains("/1V4000IA24000R"));
    EXPECT_EQ(pump->PlungerPosition(), 24000);
    EXPECT_EQ(fWindow.Events, (QStringList{
                                  SafetySyringe,
                                  "lock",
                                  "progress: Changing syringe on " + port + ": working, may take up to 15 s",
                                  "progress: Changing syringe on " + port + ": working, may take up to 5 s",
                                  "message: Change the syringe and click OK only after done.",
                                  "unlock",
                              }));
}

TEST_F(InstrumentToolsTest, LoopCountIsKeptInItsRange)
{
    EXPECT_EQ(PrimePumpCommand(1), "V3000gIA24000OA0G1R");
    EXPECT_EQ(PrimePumpCommand(10), "V3000gIA24000OA0G10R");
    EXPECT_EQ(PrimePumpCommand(0), "V3000gIA24000OA0G1R");
    EXPECT_EQ(PrimePumpCommand(-4), "V3000gIA24000OA0G1R");
    EXPECT_EQ(PrimePumpCommand(11), "V3000gIA24000OA0G10R");
}

TEST_F(InstrumentToolsTest, PumpToolsRefuseWhatIsNoFreePump)
{
    TDeviceInfo runningPump = Device(dtPump, "COM5");
    runningPump.ThreadPump = SomeThread<TPSD4Thread>();
    struct Case {
        const char* name;
        std::optional<TDeviceInfo> device;
        QStringList events;
    };
    const Case cases[] = {
        {"nothing selected", std::nullopt, {}},
        {"a controller", Device(dtMFCA, "COM6"), {"message: No pump selected"}},
        {"the demo controller", Device(dtMFCDemo, "COMX"), {"message: No pump selected"}},
        {"a running pump", runningPump, {"message: Cannot perform on already configured and running pump"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fWindow.Events.clear();
        PrimePumpTool(c.device, 1, fWindow);
        EXPECT_EQ(fWindow.Events, c.events);
        fWindow.Events.clear();
        ChangeSyringeTool(c.device, fWindow);
        EXPECT_EQ(fWindow.Events, c.events);
    }
}

TEST_F(InstrumentToolsTest, PumpThatDoesNotAnswerEndsTheActionAtOnce)
{
    PumpSimulatorOptions options;
    options.Silent = true;
    SimulatorHost host(std::make_shared<PumpSimulator>(options));
    ASSERT_TRUE(host.IsOpen());
    const QString port = host.PortPath();

    QElapsedTimer timer;
    timer.start();
    PrimePumpTool(Device(dtPump, port), 2, fWindow);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(fWindow.Events,
              (QStringList{SafetyPrime, "lock", "progress: Priming " + port + ": the pump does not answer", "unlock"}));
    EXPECT_EQ(NonEmptyLines(host), QList<QByteArray>{"/1?22"}); // the identification only
}

TEST_F(InstrumentToolsTest, WaitThatRunsOutEndsTheActionWithoutAMessage)
{
    PumpSimulatorOptions options;
    options.TimeScale = 0.001;
    options.NeverReady = true;
    SimulatorHost host(std::make_shared<PumpSimulator>(options));
    ASSERT_TRUE(host.IsOpen());
    const QString port = host.PortPath();

    TPumpToolWaits waits;
    waits.AfterSyringeInitialize_s = 0.2;
    ChangeSyringeTool(Device(dtPump, port), fWindow, waits);
    EXPECT_EQ(fWindow.Events, (QStringList{
                                  SafetySyringe,
                                  "lock",
                                  "progress: Changing syringe on " + port + ": working, may take up to 1 s",
                                  "progress: Changing syringe on " + port + ": the pump was not ready within 1 s",
                                  "unlock",
                              }));
    EXPECT_FALSE(NonEmptyLines(host).contains("/1V4000IA24000R"));
}

TEST_F(InstrumentToolsTest, InitializeSendsTheSequenceEvenToASilentController)
{
    const auto controller = std::make_shared<ControllerSimulator>();
    ControllerFaults silent;
    silent.NoReply = true;
    controller->SetFaults(silent);
    SimulatorHost host(controller);
    ASSERT_TRUE(host.IsOpen());
    const QString port = host.PortPath();

    InitializeDeviceTool(Device(dtMFCB, port), fWindow);

    EXPECT_EQ(NonEmptyLines(host), (QList<QByteArray>{"A", "AFACTORY RESTORE ALL", "ALSS U", "ASPUE 0", "ADCU 37 62",
                                                      "ADCU 2 7", "A0"}));
    // Seven exchanges of 150 ms read-out each; the message log names each checked step that
    // got no answer.
    const QString noReply = QStringLiteral(" got no reply (Timeout while waiting for response, exiting)");
    EXPECT_EQ(fWindow.Events, (QStringList{
                                  "lock",
                                  "message: Clicking OK will start initialization of MFC device.",
                                  "progress: Initializing " + port + ": working, may take up to 2 s",
                                  "progress: Factory reset failed: AFACTORY RESTORE ALL" + noReply,
                                  "progress: Remote control failed: ALSS U" + noReply,
                                  "progress: Remote control failed: ASPUE 0" + noReply,
                                  "progress: Remote setpoint mode:count failed: ADCU 37 62" + noReply,
                                  "progress: Pressure barA failed: ADCU 2 7" + noReply,
                                  "message: Initialization done.",
                                  "unlock",
                              }));
}

TEST_F(InstrumentToolsTest, InitializeRefusesRunningDevicesAndHasNothingForOthers)
{
    const auto controller = std::make_shared<ControllerSimulator>();
    SimulatorHost host(controller);
    ASSERT_TRUE(host.IsOpen());
    const QString port = host.PortPath();
    const QString running =
        "message: Device thread is running, cannot proceed. Initialize can only be performed before Configuration is "
        "first applied";

    TDeviceInfo controllerWithThread = Device(dtMFCA, port);
    controllerWithThread.ThreadMFC = SomeThread<TMFCThread>();
    TDeviceInfo pumpWithThread = Device(dtPump, port);
    pumpWithThread.ThreadPump = SomeThread<TPSD4Thread>();
    struct Case {
        const char* name;
        std::optional<TDeviceInfo> device;
        QStringList events;
    };
    const Case cases[] = {
        {"nothing selected", std::nullopt, {}},
        {"a running controller", controllerWithThread, {running}},
        {"a running pump", pumpWithThread, {running}},
        {"a pump", Device(dtPump, port), {"lock", "message: There is no Initialize procedure for Pump device", "unlock"}},
        {"the demo controller", Device(dtMFCDemo, port),
         {"lock", "message: There is no Initialize procedure for demo device", "unlock"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fWindow.Events.clear();
        InitializeDeviceTool(c.device, fWindow);
        EXPECT_EQ(fWindow.Events, c.events);
    }
    EXPECT_TRUE(host.ReceivedLines().isEmpty());
}

} // namespace
