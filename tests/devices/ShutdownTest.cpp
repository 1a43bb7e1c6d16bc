#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"

#include "core/UserMessages.h"
#include "devices/MFCThread.h"
#include "devices/Shutdown.h"
#include "tools/ControllerSimulator.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

// Puts a controller worker on the simulator's port into the record of the first demo device.
TMFCThread* ControllerWorkerOn(TDeviceInfo& device, const SimulatorHost& host)
{
    auto* thread = new TMFCThread(QCoreApplication::instance());
    thread->Name = device.COMPort;
    thread->MFC = std::make_unique<TAlicatMFC>();
    thread->MFC->SetDeviceID('A');
    thread->MFC->COM().SetPort(host.PortPath().toLatin1());
    thread->MFC->COM().SetWindowsReadLoopTimeoutMS(10);
    thread->MFC->COM().SetReadoutTimeoutMS(1500);
    device.DevType = dtMFCA;
    device.ThreadMFC = thread;
    thread->start();
    return thread;
}

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        ControllerSimulatorOptions options;
        options.TimeScale = 0.02;
        simulator = std::make_shared<ControllerSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
        ASSERT_TRUE(host->IsOpen());
    }
    void TearDown() override
    {
        simulator->SetFaults({});
        ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 10000);
        ResetDevicesLocal();
    }

    FastInstruments fast;
    std::shared_ptr<ControllerSimulator> simulator;
    std::unique_ptr<SimulatorHost> host;
    RecordingWindow window;
};

TEST_F(ShutdownTest, WithoutWorkersStillMarksEveryDeviceUnconfigured)
{
    TerminateThreads(window, 20);
    EXPECT_EQ(window.log.count(QStringLiteral("Active threads: 0")), 2);
    EXPECT_TRUE(window.log.filter(QStringLiteral("Waiting for threads")).isEmpty());
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_EQ(device.FluidID, 0);
        EXPECT_TRUE(device.SegmentProgram.isEmpty());
    }
    EXPECT_EQ(window.rowsMarkedUnknown, 1);
    EXPECT_EQ(window.detailsShown, (QStringList{QStringLiteral("COMY"), QStringLiteral("COMX")}));
    EXPECT_EQ(window.graphClears, 1);
    EXPECT_EQ(window.locks, window.unlocks);
}

TEST_F(ShutdownTest, StopsAndFreesTwoWorkersReportingProgress)
{
    // The controller answers slowly, so the simulated demo worker stops well before it.
    ControllerWorkerOn(DevicesLocal[0], *host);
    ASSERT_TRUE(ServeUntil([&] { return DevicesLocal[0].ThreadMFC->GUIIn.DeviceStatus.DataTime > 0; }, 5000));
    ControllerFaults slow;
    slow.ReplyDelayMs = 700;
    simulator->SetFaults(slow);
    ASSERT_TRUE(DevicesLocal[1].StartThread());

    TerminateThreads(window, 20);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Active threads: 2")));
    EXPECT_FALSE(window.log.filter(QStringLiteral("Waiting for threads to stop. Active threads: 1/2")).isEmpty())
        << window.log.join(u'\n').toStdString();
    EXPECT_TRUE(window.log.contains(QStringLiteral("All threads terminated, marking devices unconfigured")));
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_EQ(device.ThreadMFC, nullptr);
        EXPECT_EQ(device.ThreadPump, nullptr);
    }
    EXPECT_EQ(simulator->SetpointCounts(), 0);
    EXPECT_EQ(AbandonedWorkersRunning(), 0);
}

TEST_F(ShutdownTest, ASilentControllerCannotHoldTheShutDownPastItsTimeOut)
{
    MessageCapture messages;
    TMFCThread* thread = ControllerWorkerOn(DevicesLocal[0], *host);
    thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
    ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 32000; }, 5000));
    ControllerFaults silent;
    silent.NoReply = true;
    simulator->SetFaults(silent);

    QElapsedTimer took;
    took.start();
    const QString notice = TerminateThreads(window, 1.5);
    EXPECT_LT(took.elapsed(), 6000);
    EXPECT_TRUE(messages.Texts().isEmpty()) << "the caller shows the notice once the shut-down has returned";
    EXPECT_TRUE(notice.contains(QStringLiteral("COMX"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("Virtual Demo")));
    EXPECT_TRUE(notice.contains(QStringLiteral("keeps trying")));
    EXPECT_TRUE(window.log.contains(notice));
    EXPECT_FALSE(window.log.contains(QStringLiteral("All threads terminated, marking devices unconfigured")));
    EXPECT_EQ(DevicesLocal[0].ThreadMFC, nullptr);
    EXPECT_EQ(AbandonedWorkersRunning(), 1);

    // Once the controller answers again, the worker it left behind still drives it to zero.
    simulator->SetFaults({});
    EXPECT_TRUE(ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 10000));
    EXPECT_EQ(simulator->SetpointCounts(), 0);
}

} // namespace
