// Closing by signal: SIGTERM, SIGINT and SIGHUP run the window's close (instruments to zero,
// the OnClose flow log), a second signal ends the program at once, and the program itself,
// started as an operator starts it, closes so on SIGTERM.
#include "OperatorWindowTest.h"
#include "SimulatedInstruments.h"

#include "core/RunMark.h"
#include "devices/KnownDevices.h"
#include "devices/MFCThread.h"
#include "devices/WorkerThread.h"
#include "tools/ControllerSimulator.h"
#include "tools/SimulatorHost.h"
#include "ui/CloseOnSignal.h"
#include "ui/MessageLogFile.h"
#include "ui/pages/DirectControlPage.h"

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

namespace {

// The prototype controller, simulated, configured for nitrogen and read once.
class SimulatedControllerWindowTest : public OperatorWindowTest {
protected:
    void ConfigureController()
    {
        ASSERT_TRUE(host.IsOpen());
        TDeviceInfo device;
        ASSERT_TRUE(GetKnownDevice(QStringLiteral("142001"), device));
        device.COMPort = port;
        DevicesLocal.push_back(device);
        window->AddDeviceRow(device);
        ASSERT_TRUE(Focus(port));
        ChooseGas("N2");
        window->Configure().ButtonApplyConfiguration->click();
        ASSERT_NE(Device(port).ThreadMFC, nullptr);
        ASSERT_TRUE(RunUntil([&] { return Device(port).LastHandled > 0; }));
    }

    FastInstruments fast;
    const std::shared_ptr<ControllerSimulator> controller =
        std::make_shared<ControllerSimulator>(SimulatedControllerAndPump::ControllerOptions());
    SimulatorHost host{controller};
    const QString port = host.PortPath();
};

class CloseBySignal : public SimulatedControllerWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloseBySignal, DrivesTheInstrumentToZeroAndWritesTheOnCloseLog)
{
    const int signal = GetParam();
    ConfigureController();
    window->DirectControl().RtDoubleEditDirectControlDesiredFlow->SetValue(40);
    window->DirectControl().ButtonApplyFlow->click();
    ASSERT_TRUE(RunUntil([&] { return controller->SetpointCounts() > 0; }));

    const CloseOnSignal closeOnSignal([this](int number) { window->CloseBySignal(number); });
    ASSERT_EQ(std::raise(signal), 0);
    EXPECT_TRUE(ServeUntil([&] { return Device(port).ThreadMFC == nullptr; }, 20000));
    EXPECT_EQ(controller->SetpointCounts(), 0);
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    EXPECT_EQ(LogFiles().filter(" log OnClose.txt").size(), 1) << LogFiles().join(", ").toStdString();
    EXPECT_TRUE(Logged("Closing on " + CloseOnSignal::SignalName(signal)));
    EXPECT_TRUE(Logged("All threads terminated, marking devices unconfigured"));
}

INSTANTIATE_TEST_SUITE_P(TerminationSignals, CloseBySignal, ::testing::ValuesIn(CloseOnSignal::Signals),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return CloseOnSignal::SignalName(info.param).toStdString();
                         });

// A controller that does not confirm zero flow in time: the notice goes to the message log, not
// into a box that would hold a program the system is shutting down.
TEST_F(SimulatedControllerWindowTest, ClosingBySignalLogsTheDevicesThatDidNotConfirmInsteadOfABox)
{
    ConfigureController();
    ControllerFaults silent;
    silent.NoReply = true;
    controller->SetFaults(silent);
    window->ShutdownTimeout_s = 0.5;
    {
        const CloseOnSignal closeOnSignal([this](int number) { window->CloseBySignal(number); });
        ASSERT_EQ(std::raise(SIGTERM), 0);
        ASSERT_TRUE(ServeUntil([&] { return Device(port).ThreadMFC == nullptr; }, 20000));
    }
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
    EXPECT_TRUE(Logged("These devices did not confirm zero flow within 0.5 s: Prototype (" + port + ")"));

    controller->SetFaults({});
    EXPECT_TRUE(ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 5000));
}

TEST(CloseOnSignalDeathTest, ASecondSignalEndsAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The first signal's close never gets to run here: the second ends the program at once.
    EXPECT_EXIT(
        {
            const CloseOnSignal closeOnSignal([](int) {});
            std::raise(SIGTERM);
            std::raise(SIGINT);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(CloseOnSignal::ExitBase + SIGINT), "");
}

// The program as an operator starts it: SIGTERM closes it in order, with its logs written.
TEST(CloseOnSignalProgram, SigtermClosesTheProgramWithItsLogs)
{
    const QTemporaryDir data;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TESSALY_PROGRAM), {"--data-dir", data.path()});
    ASSERT_TRUE(program.waitForStarted(10000));
    const QDir logs(data.path() + "/Logs");
    const QString messagesOfRun = "* messages *-" + QString::number(program.processId()) + ".txt";
    // The program is up once it has written its first message.
    ASSERT_TRUE(ServeUntil([&] { return !logs.entryList({messagesOfRun}, QDir::Files).isEmpty(); }, 30000));

    program.terminate(); // SIGTERM
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(logs.entryList({"* log OnClose.txt"}, QDir::Files).size(), 1) << logs.entryList().join(", ").toStdString();
    QFile messages(logs.filePath(logs.entryList({messagesOfRun}, QDir::Files).value(0)));
    ASSERT_TRUE(messages.open(QIODevice::ReadOnly));
    const QByteArray text = messages.readAll();
    EXPECT_TRUE(text.contains("Closing on SIGTERM")) << text.toStdString();
    EXPECT_TRUE(text.contains("All threads terminated, marking devices unconfigured")) << text.toStdString();
}

} // namespace
