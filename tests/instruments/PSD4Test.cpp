#include "instruments/PSD4.h"

#include "InstrumentTestSupport.h"
#include "core/UserMessages.h"
#include "tools/PumpSimulator.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kSyringeOverload =
    QStringLiteral("Syringe overload - Occurs when the syringe encounters excessive back pressure");

// Short transport and driver timings; the stop limit is a tenth of the real 5 s.
TPSD4Timing FastTiming()
{
    TPSD4Timing timing;
    timing.PollIntervalMS = 5;
    timing.ReadoutTimeoutMS = 100;
    timing.StopPollMS = 10;
    timing.StopLimit_s = 0.5;
    timing.WaitPollMS = 25;
    timing.SerialSettleMS = 10;
    timing.SerialWait_s = 0.3;
    return timing;
}

TSerialResponse Reply(const QString& text)
{
    TSerialResponse response;
    response.Init();
    response.Response = text;
    return response;
}

TEST(PSD4Status, StatusCharacterGivesStateAndBusyBit)
{
    struct Case {
        QChar status;
        const char* text;
    };
    const Case cases[] = {
        {u'`', "Ready, No error"},
        {QChar(0x2018), "Ready, No error"}, // byte 0x91 read through Windows-1252
        {u'@', "Busy, No error"},
        {u'a', "Ready, Initialization error - Occurs when a syringe or valve error happens during initialization"},
        {u'A', "Busy, Initialization error - Occurs when a syringe or valve error happens during initialization"},
        {u'b', "Ready, Invalid command - Occurs when an unrecognized command is used"},
        {u'B', "Busy, Invalid command - Occurs when an unrecognized command is used"},
        {u'c', "Ready, Invalid operand - Occurs when and invalid parameter is given with a command"},
        {u'C', "Busy, Invalid operand - Occurs when and invalid parameter is given with a command"},
        {u'd', "Ready, Invalid command sequence - Occurs when the command communication protocol is incorrect"},
        {u'D', "Busy, Invalid command sequence - Occurs when the command communication protocol is incorrect"},
        {u'f', "Ready, EEPROM failure - Occurs when the EEPROM is faulty"},
        {u'F', "Busy, EEPROM failure - Occurs when the EEPROM is faulty"},
        {u'g', "Ready, Syringe not initialized - Occurs when the syringefails to initialize"},
        {u'G', "Busy, Syringe not initialized - Occurs when the syringefails to initialize"},
        {u'i', "Ready, Syringe overload - Occurs when the syringe encounters excessive back pressure"},
        {u'I', "Busy, Syringe overload - Occurs when the syringe encounters excessive back pressure"},
        {u'j', "Ready, Valve overload - Occurs when the valve drive encounters excessive back pressure"},
        {u'J', "Busy, Valve overload - Occurs when the valve drive encounters excessive back pressure"},
        {u'k', "Ready, Syringe move not allowed - When the valve is in the bypass or throughput position syringe move "
               "commands are not allowed"},
        {u'K', "Busy, Syringe move not allowed - When the valve is in the bypass or throughput position syringe move "
               "commands are not allowed"},
        {u'o', "Ready, Pump is busy - Occurs when the command buffer is full"},
        {u'O', "Busy, Pump is busy - Occurs when the command buffer is full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString(c.status).toStdString());
        TPSD4 pump;
        pump.SetStatus(Reply(QStringLiteral("/0") + c.status + QStringLiteral("123")));
        EXPECT_EQ(pump.StatusAsString(), QString::fromLatin1(c.text));
        EXPECT_EQ(pump.Busy(), c.text[0] == 'B');
    }
}

TEST(PSD4Status, UnknownCharacterKeepsTheStateAndClearsBusy)
{
    MessageCapture messages;
    TPSD4 pump;
    pump.SetStatus(Reply(QStringLiteral("/0I")));
    ASSERT_TRUE(pump.Busy());
    for (const char* reply : {"/0E", "/0H", "/0\x01", "/0 7"}) {
        pump.SetStatus(Reply(QString::fromLatin1(reply)));
        EXPECT_EQ(pump.State(), ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure) << reply;
        EXPECT_FALSE(pump.Busy()) << reply;
        pump.SetStatus(Reply(QStringLiteral("/0I")));
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST(PSD4Status, ShortReplyIsShownAndTreatedAsUnknown)
{
    MessageCapture messages;
    TPSD4 pump;
    pump.SetStatus(Reply(QStringLiteral("/0i")));
    pump.SetStatus(Reply(QStringLiteral("/0I")));
    pump.SetStatus(Reply(QStringLiteral("/0")));
    pump.SetStatus(Reply(QString()));
    EXPECT_EQ(messages.Texts(), QStringList({QStringLiteral("Set pump states failed. Used string: /0"),
                                             QStringLiteral("Set pump states failed. Used string: ")}));
    EXPECT_EQ(pump.StatusAsString(), QStringLiteral("Ready, ") + kSyringeOverload);
}

TEST(PSD4Status, StateNamesAndRampTime)
{
    TPSD4 pump;
    EXPECT_EQ(pump.StatusAsString(), QStringLiteral("Ready, Undefined"));
    EXPECT_EQ(PumpStateName(ps_Initialized), QStringLiteral("ps_Initialized"));
    EXPECT_EQ(PumpStateName(ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full),
              QStringLiteral("ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full"));
    EXPECT_EQ(TPSD4::RampTimeSeconds(8000, 20, 10), 595);
    EXPECT_EQ(TPSD4::RampTimeSeconds(20, 8000, 10), 595);
    EXPECT_EQ(TPSD4::RampTimeSeconds(1000, 1500, 4), 125);
}

class PSD4Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = SetPSD4Timing(FastTiming());
        ASSERT_TRUE(host->IsOpen()) << host->ErrorText().toStdString();
    }
    void TearDown() override { SetPSD4Timing(saved); }

    void Serve(PumpSimulatorOptions options)
    {
        host.reset();
        simulator = std::make_shared<PumpSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
    }

    std::unique_ptr<TPSD4> Connected()
    {
        auto pump = std::make_unique<TPSD4>();
        EXPECT_TRUE(pump->Connect(host->PortPath()));
        host->ClearReceivedLines();
        return pump;
    }

    static PumpSimulatorOptions Scaled(double timeScale)
    {
        PumpSimulatorOptions options;
        options.TimeScale = timeScale;
        return options;
    }

    TPSD4Timing saved;
    MessageCapture messages;
    std::shared_ptr<PumpSimulator> simulator = std::make_shared<PumpSimulator>(Scaled(0.001));
    std::unique_ptr<SimulatorHost> host = std::make_unique<SimulatorHost>(simulator);
};

TEST_F(PSD4Test, CommandsAreRefusedWithoutAConnection)
{
    TPSD4 pump;
    TSerialResponse response;
    response.Response = QStringLiteral("stale");
    EXPECT_FALSE(pump.SendCommand(QStringLiteral("ZN1R"), response, true));
    EXPECT_EQ(response.Status, QStringLiteral("Pump state undefined, cannot send command: /1ZN1R\r"));
    EXPECT_TRUE(response.Response.isEmpty());
    EXPECT_TRUE(pump.LastCommand.isEmpty());

    QString feedback = QStringLiteral("untouched");
    pump.Initialize(QStringLiteral("ZN1R"), feedback);
    EXPECT_TRUE(pump.Initialized());
    EXPECT_EQ(feedback, QStringLiteral("untouched"));
    EXPECT_EQ(pump.Serial(), -1);
    EXPECT_FALSE(pump.SerialStore(QStringLiteral("12345678")));
    EXPECT_TRUE(host->ReceivedLines().isEmpty());
}

TEST_F(PSD4Test, ConnectsWithTheIdentificationQuery)
{
    TPSD4 pump;
    EXPECT_TRUE(pump.Connect(host->PortPath()));
    EXPECT_EQ(pump.State(), ps_Connected);
    EXPECT_EQ(pump.StatusAsString(), QStringLiteral("Ready, Connected"));
    EXPECT_EQ(host->ReceivedLines(), QList<QByteArray>{"/1?22"});
    // A second connect works on a fresh transport.
    EXPECT_TRUE(pump.Connect(host->PortPath()));

    TPSD4 elsewhere;
    EXPECT_FALSE(elsewhere.Connect(QStringLiteral("/dev/pts/99999")));
    EXPECT_EQ(elsewhere.State(), ps_Undefined);

    simulator->SetSilent(true);
    TPSD4 unanswered;
    EXPECT_FALSE(unanswered.Connect(host->PortPath()));
    EXPECT_EQ(unanswered.State(), ps_Undefined);
    TSerialResponse response;
    EXPECT_FALSE(unanswered.SendCommand(QStringLiteral("Q"), response, true));
    EXPECT_EQ(response.Status, QStringLiteral("Pump state undefined, cannot send command: /1Q\r"));
}

TEST_F(PSD4Test, SendCommandDecodesTheReplyAndRemembersTheCommand)
{
    LogCapture log(QStringLiteral("PSD4 interface"));
    auto pump = Connected();
    TSerialResponse response;
    EXPECT_TRUE(pump->SendCommand(QStringLiteral("Q"), response, true));
    EXPECT_EQ(response.Response, QStringLiteral("/0`"));
    EXPECT_TRUE(response.Status.isEmpty());
    EXPECT_EQ(pump->StatusAsString(), QStringLiteral("Ready, No error"));
    EXPECT_EQ(pump->LastCommand, QStringLiteral("Q"));
    EXPECT_EQ(log.Lines().last(), QStringLiteral("PSD4@") + host->PortPath() + QStringLiteral(" Setstatus: Ready, No error"));

    simulator->SetStatusOverride('i');
    EXPECT_TRUE(pump->SendCommand(QStringLiteral("A100R"), response, true));
    EXPECT_EQ(pump->StatusAsString(), QStringLiteral("Ready, ") + kSyringeOverload);
    simulator->SetStatusOverride('H');
    EXPECT_TRUE(pump->SendCommand(QStringLiteral("Q"), response, true));
    EXPECT_EQ(pump->StatusAsString(), QStringLiteral("Ready, ") + kSyringeOverload);
    simulator->SetStatusOverride('\x91');
    EXPECT_TRUE(pump->SendCommand(QStringLiteral("Q"), response, true));
    EXPECT_EQ(pump->StatusAsString(), QStringLiteral("Ready, No error"));
    simulator->SetStatusOverride(std::nullopt);

    // Without waiting nothing is decoded and the last command stays.
    EXPECT_FALSE(pump->SendCommand(QStringLiteral("A0R"), response, false));
    EXPECT_EQ(response.Status, QStringLiteral("Exit read/write without waiting for reply"));
    EXPECT_EQ(pump->LastCommand, QStringLiteral("Q"));

    // An unanswered exchange still counts as attempted; the short reply is shown.
    simulator->SetSilent(true);
    EXPECT_TRUE(pump->SendCommand(QStringLiteral("Q"), response, true));
    EXPECT_EQ(response.Status, QStringLiteral("Timeout while waiting for response, exiting"));
    EXPECT_FALSE(pump->Busy());
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Set pump states failed. Used string: ")});
    EXPECT_EQ(host->ReceivedLines(),
              (QList<QByteArray>{"/1Q", "/1A100R", "/1Q", "/1Q", "/1A0R", "/1Q"}));
}

TEST_F(PSD4Test, WaitUntilFreePollsUntilTheMoveEnds)
{
    Serve(Scaled(0.25)); // initialising takes 500 ms: several polls even when the machine is busy
    auto pump = Connected();
    QString feedback;
    pump->Initialize(QStringLiteral("ZN1R"), feedback);
    EXPECT_TRUE(pump->Initialized());
    EXPECT_TRUE(pump->Busy());
    EXPECT_TRUE(pump->WaitUntilFree(5));
    EXPECT_FALSE(pump->Busy());
    const QList<QByteArray> lines = host->ReceivedLines();
    EXPECT_EQ(lines.first(), QByteArray("/1ZN1R"));
    EXPECT_GE(lines.count("/1Q"), 2);
    EXPECT_EQ(lines.count("/1Q"), lines.size() - 1);

    host->ClearReceivedLines();
    EXPECT_FALSE(pump->WaitUntilFree(0)); // a poll always outlasts no time at all
    EXPECT_EQ(host->ReceivedLines(), QList<QByteArray>{"/1Q"});

    simulator->SetNeverReady(true);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(pump->WaitUntilFree(0.3));
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_LT(timer.elapsed(), 1500);
}

TEST_F(PSD4Test, StopTerminatesAndWaitsForRest)
{
    Serve(Scaled(1));
    auto pump = Connected();
    TSerialResponse response;
    pump->SendCommand(QStringLiteral("gIV6000A24000OV8A0GR"), response, true);
    ASSERT_TRUE(simulator->Busy());
    EXPECT_TRUE(pump->Stop());
    EXPECT_FALSE(simulator->Busy());
    EXPECT_EQ(host->ReceivedLines().mid(1, 1), QList<QByteArray>{"/1T"});

    simulator->SetStatusOverride('i');
    EXPECT_FALSE(pump->Stop()); // at rest, but in an error state

    simulator->SetStatusOverride(std::nullopt);
    simulator->SetNeverReady(true);
    host->ClearReceivedLines();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(pump->Stop());
    EXPECT_GE(timer.elapsed(), 500);
    EXPECT_LT(timer.elapsed(), 1500);
    const QList<QByteArray> lines = host->ReceivedLines();
    EXPECT_EQ(lines.first(), QByteArray("/1T"));
    EXPECT_GE(lines.count("/1Q"), 5);
    EXPECT_EQ(lines.count("/1Q"), lines.size() - 1);
}

TEST_F(PSD4Test, SerialNumberReadsTheTwoStoredSlots)
{
    PumpSimulatorOptions options = Scaled(0.001);
    options.Serial = "12345678";
    Serve(options);
    auto pump = Connected();
    EXPECT_EQ(pump->Serial(), 12345678);
    const QList<QByteArray> lines = host->ReceivedLines();
    EXPECT_EQ(lines.first(), QByteArray("/1ZN1R"));
    EXPECT_EQ(lines.mid(lines.size() - 5),
              (QList<QByteArray>{"/1e12R", "/1?", "/1e13R", "/1?", "/1A0R"}));
    EXPECT_EQ(simulator->PlungerPosition(), 0);

    EXPECT_TRUE(pump->SerialStore(QStringLiteral("23011001")));
    EXPECT_EQ(simulator->StoredCommands(12), QByteArray("A2301"));
    EXPECT_EQ(simulator->StoredCommands(13), QByteArray("A1001"));
    EXPECT_EQ(pump->Serial(), 23011001);
    // Leading zeros of the second half are no position of their own.
    for (const char* serial : {"77700002", "23010042", "10000000"}) {
        EXPECT_TRUE(pump->SerialStore(QString::fromLatin1(serial)));
        EXPECT_EQ(pump->Serial(), QByteArray(serial).toInt()) << serial;
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(PSD4Test, SerialOfASilentOrOddPumpIsMinusOne)
{
    auto pump = Connected();
    simulator->SetSilent(true);
    EXPECT_EQ(pump->Serial(), -1);
    EXPECT_FALSE(messages.Texts().isEmpty());

    auto odd = std::make_shared<ScriptedProtocol>();
    odd->SetScript([](const QByteArray& line) -> std::optional<SimulatorReply> {
        if (line == "/1?22")
            return SimulatorReply{"/0`255\x03\r\n", 0};
        if (line == "/1?")
            return SimulatorReply{"/0`12x\x03\r\n", 0};
        return SimulatorReply{"/0`\x03\r\n", 0};
    });
    SimulatorHost oddHost(odd);
    TPSD4 oddPump;
    ASSERT_TRUE(oddPump.Connect(oddHost.PortPath()));
    EXPECT_EQ(oddPump.Serial(), -1);
}

} // namespace
