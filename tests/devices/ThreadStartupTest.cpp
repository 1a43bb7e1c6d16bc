#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"

#include "devices/KnownDevices.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/Shutdown.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

class SilentProtocol : public LineProtocol {
public:
    std::optional<SimulatorReply> Answer(const QByteArray&) override { return std::nullopt; }
};

TDeviceInfo PumpRecord(const QString& port)
{
    TDeviceInfo pump;
    GetKnownDevice(QStringLiteral("23011001"), pump);
    pump.COMPort = port;
    return pump;
}

TEST(ThreadStartup, APumpThatDoesNotGetReadyHoldsTheStartUpNoLongerThanItsLimit)
{
    FastInstruments fast;
    struct Case {
        const char* what;
        std::shared_ptr<LineProtocol> protocol;
        qint64 atLeastMs;
        qint64 atMostMs;
    };
    PumpSimulatorOptions neverReady;
    neverReady.NeverReady = true;
    const Case cases[] = {
        // Nothing answers the identification, so nothing can answer the initialisation.
        {"no pump", std::make_shared<SilentProtocol>(), 0, 3000},
        {"a pump that stays busy", std::make_shared<PumpSimulator>(neverReady), qint64(PumpStartLimit_s * 1000) - 2000,
         qint64(PumpStartLimit_s * 1000)},
    };
    for (const Case& c : cases) {
        SimulatorHost host(c.protocol);
        TDeviceInfo pump = PumpRecord(host.PortPath());
        QElapsedTimer took;
        took.start();
        ASSERT_TRUE(pump.StartThread()) << c.what;
        EXPECT_GE(took.elapsed(), c.atLeastMs) << c.what;
        EXPECT_LE(took.elapsed(), c.atMostMs) << c.what << ": the start-up notice says up to " << PumpStartLimit_s << " s";
        ASSERT_NE(pump.ThreadPump, nullptr);
        if (auto* busy = dynamic_cast<PumpSimulator*>(c.protocol.get()))
            busy->SetNeverReady(false);
        pump.ThreadPump->GUIOut.ToTerminate = true;
        EXPECT_TRUE(ServeUntil([&] { return pump.ThreadPump->GUIIn.IsTerminated; }, 3000)) << c.what;
        delete pump.ThreadPump;
    }
}

// Both kinds of worker run against the simulators as the engine would drive them, then the
// shut-down brings both instruments to zero. TESSALY_RUNTIME_SECONDS stretches the run (a
// minute makes the hand check of the runtime).
TEST(ThreadStartup, ControllerAndPumpRunAndStopAtZero)
{
    FastInstruments fast;
    ResetDevicesLocal();
    ControllerSimulatorOptions controllerOptions;
    controllerOptions.TimeScale = 0.05;
    auto controller = std::make_shared<ControllerSimulator>(controllerOptions);
    SimulatorHost controllerHost(controller);
    PumpSimulatorOptions pumpOptions;
    pumpOptions.TimeScale = 0.01;
    auto pumpSimulator = std::make_shared<PumpSimulator>(pumpOptions);
    SimulatorHost pumpHost(pumpSimulator);

    TDeviceInfo mfc;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("142001"), mfc));
    mfc.COMPort = controllerHost.PortPath();
    TDeviceInfo pump = PumpRecord(pumpHost.PortPath());
    DevicesLocal = {mfc, pump};
    ASSERT_TRUE(DevicesLocal[0].StartThread());
    ASSERT_TRUE(DevicesLocal[1].StartThread());
    TMFCThread& controllerThread = *DevicesLocal[0].ThreadMFC;
    TPSD4Thread& pumpThread = *DevicesLocal[1].ThreadPump;

    controllerThread.GUIOut.DeviceStatus.GasID = 8;
    controllerThread.GUIOut.DeviceStatus.Setpoint_pct = 40;
    pumpThread.GUIOut.Command = QStringLiteral("gIV6000A24000OV8A0GR");
    pumpThread.GUIOut.Setpoint = 0.5;
    ASSERT_TRUE(ServeUntil([&] { return controller->SetpointCounts() == 25600 && pumpSimulator->Busy(); }, 20000));
    const int seconds = qEnvironmentVariableIntValue("TESSALY_RUNTIME_SECONDS");
    ServeUntil([] { return false; }, (seconds > 0 ? seconds : 2) * 1000);
    EXPECT_GT(controllerThread.GUIIn.DeviceStatus.FlowRate_mass, 0);
    EXPECT_EQ(pumpThread.GUIIn.Setpoint, 0.5);

    RecordingWindow window;
    TerminateThreads(window, 20);
    EXPECT_EQ(controller->SetpointCounts(), 0);
    EXPECT_FALSE(pumpSimulator->Busy());
    EXPECT_EQ(DevicesLocal[0].ThreadMFC, nullptr);
    EXPECT_EQ(DevicesLocal[1].ThreadPump, nullptr);
    ResetDevicesLocal();
}

} // namespace
