// Instruments that fail during a run: a port another program holds, an instrument that stays
// silent or answers nonsense, a simulator killed and started again on the same path, a
// controller replaced between two polls, and pumps whose stop cannot be confirmed.
#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"
#include "core/LogCapture.h"

#include "core/UserMessages.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/Shutdown.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Change = CommunicationState::Change;

TEST(CommunicationState, CountsConsecutiveFailuresBeforeTheInstrumentCountsAsLost)
{
    struct Step {
        bool ok;
        LinkState kind;
        Change change;
        LinkState state;
    };
    const Step steps[] = {
        {false, LinkState::NoReply, Change::None, LinkState::Ok},
        {true, LinkState::Ok, Change::None, LinkState::Ok}, // one lost reply is noise
        {false, LinkState::NoReply, Change::None, LinkState::Ok},
        {false, LinkState::NoReply, Change::None, LinkState::Ok},
        {false, LinkState::NoReply, Change::Lost, LinkState::NoReply},
        {false, LinkState::NoReply, Change::None, LinkState::NoReply},
        {false, LinkState::PortInUse, Change::KindChanged, LinkState::PortInUse},
        {true, LinkState::Ok, Change::Restored, LinkState::Ok},
        {true, LinkState::Ok, Change::None, LinkState::Ok},
    };
    CommunicationState state;
    int i = 0;
    for (const Step& step : steps) {
        const Change change = step.ok ? state.Succeeded() : state.Failed(step.kind, QStringLiteral("status\rDuration: 0"));
        EXPECT_EQ(change, step.change) << "step " << i;
        EXPECT_EQ(state.Report().State, step.state) << "step " << i;
        ++i;
    }
    EXPECT_EQ(state.Report().FailedExchanges, 5) << "the restored line tells how long it was lost";
    EXPECT_EQ(state.Report().TransportStatus, QStringLiteral("status"));

    CommunicationState silent;
    EXPECT_EQ(silent.Failed(LinkState::NoReply, {}, CommunicationState::FailuresUntilLost), Change::Lost);
    int counts = 0;
    for (int n = 0; n < 2000; ++n) {
        silent.Failed(LinkState::NoReply, {});
        counts += silent.CountDue() ? 1 : 0;
    }
    EXPECT_EQ(counts, 3) << "a count at 10, 100 and 1000 failures, not one per cycle";
}

TEST(CommunicationState, ClassifiesTheTransportsFailures)
{
    QTemporaryDir dir;
    const QString present = dir.filePath(QStringLiteral("ttyPresent"));
    QFile file(present);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString openFailed = QStringLiteral("Failed to setup Com port, port in use");
    EXPECT_EQ(ClassifyFailure(openFailed, present), LinkState::PortInUse);
    EXPECT_EQ(ClassifyFailure(openFailed, dir.filePath(QStringLiteral("unplugged"))), LinkState::NoReply);
    EXPECT_EQ(ClassifyFailure(QStringLiteral("Timeout while waiting for response, exiting"), present), LinkState::NoReply);
    EXPECT_EQ(ClassifyFailure(QString(), present), LinkState::UnreadableReply);
}

TEST(CommunicationState, TheWindowLogsEachChangeOnceAndRefreshesTheRow)
{
    ResetDevicesLocal();
    RecordingWindow window;
    TDeviceInfo& device = DevicesLocal[0];
    const CommunicationReport lost{LinkState::NoReply, 3, QStringLiteral("Timeout while waiting for response, exiting"), 0, {}};
    ShowCommunication(window, device, lost);
    ShowCommunication(window, device, {LinkState::NoReply, 7, lost.TransportStatus, 0, {}});
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_EQ(window.log[0], device.NameRole + QStringLiteral(" (MFC) on COMX: No reply after 3 failed exchanges; "
                                                              "transport: Timeout while waiting for response, exiting"));
    ShowCommunication(window, device, {LinkState::Ok, 9, {}, 1, QStringLiteral("communication returned")});
    ASSERT_EQ(window.log.size(), 3);
    EXPECT_TRUE(window.log[1].endsWith(QStringLiteral("communication restored after 9 failed exchanges")));
    EXPECT_TRUE(window.log[2].contains(QStringLiteral("controller initialised again (communication returned)")));
    EXPECT_EQ(window.rowsRefreshed, (QStringList{QStringLiteral("COMX"), QStringLiteral("COMX")}));
    EXPECT_EQ(device.Communication.State, LinkState::Ok);
}

// Another program holding the port, as a terminal program or a second instance would.
class PortHolder {
public:
    // The worker opens the port for each exchange: the holder takes it between two.
    explicit PortHolder(const QString& path)
    {
        fPort.setPortName(path);
        fOpen = ServeUntil([&] { return fPort.open(QIODevice::ReadWrite); }, 5000);
    }
    bool IsOpen() const { return fOpen; }
    void Release() { fPort.close(); }

private:
    QSerialPort fPort;
    bool fOpen = false;
};

// A stable path to the simulator, as /dev/serial/by-id gives a real adaptor: the link is
// removed while the simulator is down and points at the new pseudo-terminal once it is up
// again (a pseudo-terminal's own path cannot be taken over by a new simulator).
class StablePath {
public:
    StablePath() : fPath(fDir.filePath(QStringLiteral("ttyController"))) {}
    QString Path() const { return fPath; }
    bool PointAt(const QString& target)
    {
        Remove();
        return QFile::link(target, fPath);
    }
    void Remove() { QFile::remove(fPath); }

private:
    QTemporaryDir fDir;
    QString fPath;
};

class ControllerFaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        StartSimulator();
    }
    void TearDown() override { StopWorker(); }

    // Brings the controller to zero and ends the worker while the controller still answers.
    void StopWorker()
    {
        if (!thread)
            return;
        simulator->SetFaults({});
        thread->GUIOut.ToTerminate = true;
        if (ServeUntil([&] { return thread->GUIIn.IsTerminated; }, 10000))
            thread->wait();
        else
            AbandonWorker(std::move(thread)); // no exchange left for it to wait on
        thread.reset();
    }

    // A fresh controller on its defaults (gas 0, no setpoint, pressure in psia).
    void StartSimulator()
    {
        host.reset();
        ControllerSimulatorOptions options;
        options.TimeScale = 0.02;
        simulator = std::make_shared<ControllerSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
        ASSERT_TRUE(host->IsOpen()) << host->ErrorText().toStdString();
    }

    // A worker as start-up makes one, with quick polls, on N2 at 50 %.
    void StartWorker(const QString& port)
    {
        thread = std::make_unique<TMFCThread>();
        thread->Name = port;
        thread->ThreadID = port;
        thread->MFC = std::make_unique<TAlicatMFC>();
        thread->MFC->SetDeviceID('A');
        thread->MFC->Role = QStringLiteral("A");
        thread->MFC->COM().SetPort(port.toLatin1());
        thread->MFC->COM().SetBaudRate(19200);
        thread->MFC->COM().SetWindowsReadLoopTimeoutMS(5);
        thread->MFC->COM().SetReadoutTimeoutMS(300);
        thread->GUIOut.DeviceStatus.GasID = 8;
        thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
        thread->start();
    }

    bool Running()
    {
        return ServeUntil([&] { return simulator->GasNumber() == 8 && simulator->SetpointCounts() == 32000; }, 10000);
    }

    bool StateBecomes(LinkState state)
    {
        return ServeUntil([&] { return thread->GUIIn.Communication.State == state; }, 10000);
    }

    int Count(const QByteArray& line) const { return int(host->ReceivedLines().count(line)); }

    FastInstruments fast;
    std::shared_ptr<ControllerSimulator> simulator;
    std::unique_ptr<SimulatorHost> host;
    std::unique_ptr<TMFCThread> thread;
};

TEST_F(ControllerFaultsTest, AHeldPortReadsPortInUseWithoutSpinningAndRecoversWhenReleased)
{
    StartWorker(host->PortPath());
    ASSERT_TRUE(Running());
    const int initialisations = thread->GUIIn.Communication.Reinitialisations;

    PortHolder holder(host->PortPath());
    ASSERT_TRUE(holder.IsOpen());
    ASSERT_TRUE(StateBecomes(LinkState::PortInUse));
    EXPECT_TRUE(thread->GUIIn.Communication.TransportStatus.startsWith(QStringLiteral("Failed to setup Com port")));

    // A second of a held port: the worker pauses after each failed cycle instead of
    // retrying thousands of times, and logs the change rather than every failure.
    LogCapture workerLog{QString::fromLatin1(LogCategory::ThreadMFC)};
    const int before = thread->GUIIn.Communication.FailedExchanges;
    ServeUntil([] { return false; }, 1000);
    const int cycles = thread->GUIIn.Communication.FailedExchanges - before;
    EXPECT_GE(cycles, 1);
    EXPECT_LE(cycles, 6) << "failed cycles in one second";
    EXPECT_LE(workerLog.Lines().size(), 1) << workerLog.Lines().join(u'\n').toStdString();

    holder.Release();
    ASSERT_TRUE(StateBecomes(LinkState::Ok));
    EXPECT_TRUE(ServeUntil([&] { return thread->GUIIn.Communication.Reinitialisations == initialisations + 1; }, 10000));
    EXPECT_EQ(thread->GUIIn.Communication.ReinitialisationReason, QStringLiteral("communication returned"));
    EXPECT_TRUE(workerLog.Lines().filter(QStringLiteral("Communication restored after")).size() == 1)
        << workerLog.Lines().join(u'\n').toStdString();
}

TEST_F(ControllerFaultsTest, SilentAndUnreadableControllersAreToldApartAndBothCostLittle)
{
    StartWorker(host->PortPath());
    ASSERT_TRUE(Running());
    struct Case {
        ControllerFaults faults;
        LinkState state;
    };
    ControllerFaults silent;
    silent.NoReply = true;
    ControllerFaults garbled;
    garbled.NonNumericFields = true;
    for (const Case& c : {Case{silent, LinkState::NoReply}, Case{garbled, LinkState::UnreadableReply}}) {
        simulator->SetFaults(c.faults);
        ASSERT_TRUE(StateBecomes(c.state)) << LinkStateText(c.state).toStdString();
        host->ClearReceivedLines();
        ServeUntil([] { return false; }, 1000);
        // Each failed cycle is one status query (the read-out time plus the pause).
        EXPECT_LE(host->ReceivedLines().size(), 8) << LinkStateText(c.state).toStdString();
        simulator->SetFaults({});
        ASSERT_TRUE(StateBecomes(LinkState::Ok));
    }
}

TEST_F(ControllerFaultsTest, ASimulatorKilledAndStartedAgainOnTheSamePathIsSetUpAgain)
{
    StablePath path;
    ASSERT_TRUE(path.PointAt(host->PortPath()));
    StartWorker(path.Path());
    ASSERT_TRUE(Running());

    // Killed: its pseudo-terminal and the path to it are gone, as an unplugged adaptor's are.
    host.reset();
    path.Remove();
    ASSERT_TRUE(StateBecomes(LinkState::NoReply));

    StartSimulator();
    ASSERT_EQ(simulator->GasNumber(), 0);
    ASSERT_TRUE(path.PointAt(host->PortPath()));
    ASSERT_TRUE(StateBecomes(LinkState::Ok));
    EXPECT_TRUE(Running()) << "gas " << simulator->GasNumber() << ", setpoint " << simulator->SetpointCounts();
    for (const char* command : {"AFACTORY RESTORE ALL", "ADCU 37 62", "ADCU 2 7", "AG 8", "AFPF 37 67"})
        EXPECT_GE(Count(command), 1) << command;
    EXPECT_EQ(thread->GUIIn.Communication.ReinitialisationReason, QStringLiteral("communication returned"));
    StopWorker(); // while the path still leads to the controller
}

// Forwards to the controller plugged in now, so one can be swapped for another between two
// polls without the line ever going quiet.
class SwappableController : public LineProtocol {
public:
    explicit SwappableController(std::shared_ptr<ControllerSimulator> controller) : fController(std::move(controller)) {}
    std::optional<SimulatorReply> Answer(const QByteArray& line) override
    {
        std::lock_guard lock(fMutex);
        return fController->Answer(line);
    }
    void Swap(std::shared_ptr<ControllerSimulator> controller)
    {
        std::lock_guard lock(fMutex);
        fController = std::move(controller);
    }

private:
    std::mutex fMutex;
    std::shared_ptr<ControllerSimulator> fController;
};

TEST_F(ControllerFaultsTest, AControllerReplacedBetweenTwoPollsComesBackOnItsDefaultGasAndIsSetUpAgain)
{
    ControllerSimulatorOptions options;
    options.TimeScale = 0.02;
    auto first = std::make_shared<ControllerSimulator>(options);
    auto line = std::make_shared<SwappableController>(first);
    host = std::make_unique<SimulatorHost>(line);
    simulator = first;
    StartWorker(host->PortPath());
    ASSERT_TRUE(Running());

    auto replacement = std::make_shared<ControllerSimulator>(options);
    simulator = replacement;
    line->Swap(replacement);
    // Nothing failed: only the reading's gas label ("Air", the default) gives it away.
    EXPECT_TRUE(ServeUntil([&] { return thread->GUIIn.Communication.Reinitialisations >= 1; }, 10000));
    EXPECT_EQ(thread->GUIIn.Communication.ReinitialisationReason, QStringLiteral("it reported gas Air instead of N2"));
    EXPECT_TRUE(Running());
    EXPECT_EQ(thread->GUIIn.Communication.State, LinkState::Ok);
    EXPECT_EQ(thread->GUIIn.DeviceStatus.GasSN, QStringLiteral("N2"));
    // Set up once, not on every poll.
    const int setUps = thread->GUIIn.Communication.Reinitialisations;
    ServeUntil([] { return false; }, 500);
    EXPECT_EQ(thread->GUIIn.Communication.Reinitialisations, setUps);
}

class PumpStopFaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        PumpSimulatorOptions options;
        options.TimeScale = 0.01;
        simulator = std::make_shared<PumpSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
        ASSERT_TRUE(host->IsOpen()) << host->ErrorText().toStdString();
    }
    void TearDown() override
    {
        simulator->SetSilent(false);
        ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 10000);
        ResetDevicesLocal();
    }

    // A pump dosing a looping program, served by a worker in the record of the first demo
    // device, as start-up and Apply leave it.
    void DosingPump()
    {
        auto* thread = new TPSD4Thread(QCoreApplication::instance());
        thread->Name = QStringLiteral("Dampor test");
        thread->Pump = std::make_unique<TPSD4>();
        EXPECT_TRUE(thread->Pump->Connect(host->PortPath()));
        QString feedback;
        thread->Pump->Initialize(QStringLiteral("ZN1R"), feedback);
        thread->Pump->WaitUntilFree(2);
        thread->GUIOut.Command = QStringLiteral("gIV6000A24000OV8A0GR");
        TDeviceInfo& device = DevicesLocal[0];
        device.DevType = dtPump;
        device.ThreadPump = thread;
        thread->start();
        EXPECT_TRUE(ServeUntil([&] { return simulator->Busy(); }, 5000));
    }

    FastInstruments fast;
    std::shared_ptr<PumpSimulator> simulator;
    std::unique_ptr<SimulatorHost> host;
    RecordingWindow window;
};

TEST_F(PumpStopFaultsTest, AStopThatCannotReachThePumpIsAFailedStop)
{
    TPSD4 pump;
    ASSERT_TRUE(pump.Connect(host->PortPath()));
    QString feedback;
    pump.Initialize(QStringLiteral("ZN1R"), feedback);
    ASSERT_TRUE(pump.WaitUntilFree(2));
    TSerialResponse response;
    pump.SendCommand(QStringLiteral("gIV6000A24000OV8A0GR"), response, true);
    ASSERT_TRUE(simulator->Busy());

    MessageCapture messages;
    {
        PortHolder holder(host->PortPath());
        ASSERT_TRUE(holder.IsOpen());
        EXPECT_FALSE(pump.Stop()) << "a port held by another program";
        EXPECT_TRUE(pump.LastTransportStatus().startsWith(QStringLiteral("Failed to setup Com port")));
    }
    simulator->SetSilent(true);
    EXPECT_FALSE(pump.Stop()) << "every reply lost";
    EXPECT_TRUE(simulator->Busy()) << "nothing reached the pump";
    EXPECT_FALSE(messages.Texts().isEmpty()) << "outside a shut-down the failures are still shown";

    simulator->SetSilent(false);
    EXPECT_TRUE(pump.Stop());
    EXPECT_FALSE(simulator->Busy());
}

TEST_F(PumpStopFaultsTest, AResetWithAFailingPumpEndsWithinItsBoundNamingThePumpAndShowingNoBox)
{
    DosingPump();
    MessageCapture messages;
    simulator->SetSilent(true);

    QElapsedTimer took;
    took.start();
    const QString notice = TerminateThreads(window, 1.5);
    EXPECT_LT(took.elapsed(), 1500 + 3000);
    EXPECT_TRUE(notice.contains(DevicesLocal[0].NameRole)) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("COMX")));
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'\n').toStdString();
    EXPECT_EQ(AbandonedWorkersRunning(), 1);
    EXPECT_TRUE(simulator->Busy());

    // Given up, the worker keeps trying without a box for every attempt, and stops the pump
    // once it answers again.
    ServeUntil([] { return false; }, 500);
    EXPECT_TRUE(messages.Texts().isEmpty());
    simulator->SetSilent(false);
    EXPECT_TRUE(ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 10000));
    EXPECT_FALSE(simulator->Busy());
}

} // namespace
