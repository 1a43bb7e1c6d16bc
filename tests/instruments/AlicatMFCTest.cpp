#include "instruments/AlicatMFC.h"

#include "FastInstruments.h"
#include "InstrumentTestSupport.h"
#include "core/DateTime.h"
#include "tools/ControllerSimulator.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

const QString kPortInUse = QStringLiteral("Failed to setup Com port, port in use");
const QString kTimeout = QStringLiteral("Timeout while waiting for response, exiting");
const QRegularExpression kDurationSuffix(QStringLiteral("\rDuration: \\d\\d:\\d\\d\\d$"));

// SendASCII's temporary ports poll fast while a test runs.
class FastSendASCII {
public:
    FastSendASCII() : fPrevious(SetSendASCIITimings({5, FastInstruments::AnswerBoundMS})) {}
    ~FastSendASCII() { SetSendASCIITimings(fPrevious); }

private:
    SendASCIITimings fPrevious;
};

class AlicatMFCTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.IsOpen()) << host.ErrorText().toStdString();
        PrepareDriver(mfc);
    }

    void PrepareDriver(TAlicatMFC& driver)
    {
        driver.COM().SetPort(host.PortPath().toLocal8Bit());
        driver.COM().SetBaudRate(19200);
        driver.COM().SetWindowsReadLoopTimeoutMS(5);
        driver.COM().SetReadoutTimeoutMS(FastInstruments::AnswerBoundMS);
        driver.SetDeviceID(u'A');
        driver.Role = QStringLiteral("A");
    }

    // A silent controller owes no answer, so the driver's read-out is short while it is silent.
    void Fault(const ControllerFaults& faults)
    {
        controller->SetFaults(faults);
        mfc.COM().SetReadoutTimeoutMS(faults.NoReply ? 150 : FastInstruments::AnswerBoundMS);
    }
    void FixedReply(const QByteArray& reply)
    {
        ControllerFaults faults;
        faults.FixedReply = reply;
        controller->SetFaults(faults);
    }

    FastSendASCII fast;
    std::shared_ptr<ControllerSimulator> controller =
        std::make_shared<ControllerSimulator>(ControllerSimulatorOptions{.TimeScale = 0.02});
    SimulatorHost host{controller};
    TAlicatMFC mfc;
};

TEST_F(AlicatMFCTest, SendASCIIAddsACarriageReturnAndTheDurationToTheStatus)
{
    const SendASCIITimings defaults;
    EXPECT_EQ(defaults.WindowsReadLoopTimeoutMS, 333u);
    EXPECT_EQ(defaults.ReadoutTimeoutMS, 2500u);

    QString status;
    QString reply;
    EXPECT_TRUE(SendASCII(host.PortPath(), QStringLiteral("A??M5\r"), true, status, reply));
    EXPECT_EQ(reply, QStringLiteral("A M05 Serial Number 142001"));
    EXPECT_TRUE(kDurationSuffix.match(status).hasMatch());
    EXPECT_EQ(status.indexOf(kDurationSuffix), 0); // nothing before it on success
    EXPECT_EQ(host.ReceivedLines(), (QList<QByteArray>{"A??M5", ""}));

    LogCapture log(QStringLiteral("MFC"));
    const struct {
        QString port;
        bool silent;
        QString failure;
    } failures[] = {
        {QStringLiteral("/dev/pts/99999"), false, kPortInUse},
        {host.PortPath(), true, kTimeout},
    };
    for (const auto& f : failures) {
        ControllerFaults faults;
        faults.NoReply = f.silent;
        Fault(faults);
        EXPECT_FALSE(SendASCII(f.port, QStringLiteral("A??M5\r"), true, status, reply));
        EXPECT_TRUE(status.startsWith(f.failure + QStringLiteral("\rDuration: "))) << status.toStdString();
        EXPECT_TRUE(log.Lines().contains(QStringLiteral("SendASCII return status <>\"\": ") + f.failure));
    }
}

TEST_F(AlicatMFCTest, InitializeSendsTheSevenCommandsAndSucceedsOnAGoodController)
{
    EXPECT_TRUE(mfc.Initialize(TAlicatInitialize::TAIBlendorDampor));
    const QList<QByteArray> expected = {"A", "", "AFACTORY RESTORE ALL", "", "ALSS U", "", "ASPUE 0", "",
                                        "ADCU 37 62", "", "ADCU 2 7", "", "A0", ""};
    EXPECT_EQ(host.ReceivedLines(), expected);
    EXPECT_EQ(controller->SetpointCounts(), 0);

    host.ClearReceivedLines();
    EXPECT_FALSE(mfc.Initialize(static_cast<TAlicatInitialize>(1)));
    EXPECT_TRUE(host.ReceivedLines().isEmpty());
}

TEST_F(AlicatMFCTest, InitializeAgainstAControllerAnsweringAUReportsTheThreeMismatches)
{
    FixedReply("A U");
    LogCapture log(QStringLiteral("MFC"));
    EXPECT_FALSE(mfc.Initialize(TAlicatInitialize::TAIBlendorDampor));
    EXPECT_EQ(host.ReceivedLines().count(""), 7); // all seven sent regardless

    QString report;
    for (const QString& line : log.Lines()) {
        if (line.contains(QStringLiteral("failed:")))
            report = line;
    }
    const QRegularExpression block(QStringLiteral("^Factory reset failed:\r\n\rDuration: \\d\\d:\\d\\d\\d\r\nA U\r\n"));
    EXPECT_TRUE(block.match(report).hasMatch()) << report.toStdString();
    const qsizetype factory = report.indexOf(QStringLiteral("Factory reset failed:"));
    const qsizetype count = report.indexOf(QStringLiteral("Remote setpoint mode:count failed:"));
    const qsizetype pressure = report.indexOf(QStringLiteral("Pressure barA failed:"));
    EXPECT_TRUE(factory >= 0 && factory < count && count < pressure) << report.toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("Remote control failed:")));
    EXPECT_TRUE(report.endsWith(QStringLiteral("\r\n")));
}

TEST_F(AlicatMFCTest, InitializeTellsWhichStepsOlderFirmwareRejects)
{
    // Older firmware has neither the count setpoint nor the pressure unit command.
    auto old = std::make_shared<ControllerSimulator>(ControllerSimulatorOptions{.OldFirmware = true});
    SimulatorHost oldHost(old);
    ASSERT_TRUE(oldHost.IsOpen());
    TAlicatMFC driver;
    driver.COM().SetPort(oldHost.PortPath().toLocal8Bit());
    EXPECT_FALSE(driver.Initialize(TAlicatInitialize::TAIBlendorDampor));
    EXPECT_EQ(driver.InitializeReport, (QStringList{
                                           "Remote setpoint mode:count failed: ADCU 37 62 answered \"A ?\"",
                                           "The controller rejects ADCU 37 62: it has no remote setpoint in counts",
                                           "Pressure barA failed: ADCU 2 7 answered \"A ?\"",
                                           "The controller rejects ADCU 2 7: it has no pressure unit",
                                       }));

    // A reply that is not the expected one but no rejection names no missing capability.
    FixedReply("A U");
    EXPECT_FALSE(mfc.Initialize(TAlicatInitialize::TAIBlendorDampor));
    EXPECT_EQ(mfc.InitializeReport.size(), 3);
    EXPECT_EQ(mfc.InitializeReport.first(),
              QStringLiteral("Factory reset failed: AFACTORY RESTORE ALL answered \"A U\""));

    ControllerFaults silent;
    silent.NoReply = true;
    Fault(silent);
    EXPECT_FALSE(mfc.Initialize(TAlicatInitialize::TAIBlendorDampor));
    EXPECT_EQ(mfc.InitializeReport.size(), 5);
    EXPECT_EQ(mfc.InitializeReport.last(), QStringLiteral("Pressure barA failed: ADCU 2 7 got no reply (") + kTimeout + u')');

    Fault({});
    EXPECT_TRUE(mfc.Initialize(TAlicatInitialize::TAIBlendorDampor));
    EXPECT_TRUE(mfc.InitializeReport.isEmpty());
}

TEST_F(AlicatMFCTest, FullScaleIsKnownOnlyWhenTheControllerReportsAPositiveOne)
{
    EXPECT_FALSE(mfc.FullScaleAsked);
    const struct {
        QByteArray reply;
        bool known;
    } cases[] = {
        {"A ?", false},            // rejected by older firmware
        {"A 0.0000 0 ---", false}, // or answered with nothing
        {"A 0.057252 67 g/m", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        TAlicatMFC driver;
        PrepareDriver(driver);
        FixedReply(c.reply);
        TAlicatData wanted;
        wanted.GasID = 8;
        driver.ChangeGas(wanted);
        EXPECT_TRUE(driver.FullScaleAsked);
        EXPECT_EQ(driver.FullScaleKnown(), c.known);
        EXPECT_EQ(driver.FullScaleReply, QString::fromLatin1(c.reply));
    }
}

TEST_F(AlicatMFCTest, ChangeGasKeepsToTheGasTableBounds)
{
    const struct {
        std::int32_t gas;
        bool result;
        QList<QByteArray> sent;
    } cases[] = {
        {-1, false, {}},
        {211, false, {}},
        {0, true, {"AG 0", "AFPF 37 67"}},
        {210, true, {"AG 210", "AFPF 37 67"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gas);
        TAlicatMFC driver;
        PrepareDriver(driver);
        host.ClearReceivedLines();
        TAlicatData data;
        data.GasID = c.gas;
        EXPECT_EQ(driver.ChangeGas(data), c.result);
        EXPECT_EQ(host.ReceivedLines(), c.sent);
        EXPECT_EQ(driver.GasID, c.result ? c.gas : -1);
    }
}

TEST_F(AlicatMFCTest, ChangeGasSendsOnlyWhenTheWantedGasChanges)
{
    LogCapture log(QStringLiteral("MFC"));
    TAlicatData data;
    data.GasID = 8;
    EXPECT_TRUE(mfc.ChangeGas(data));
    EXPECT_TRUE(mfc.ChangeGas(data));
    EXPECT_EQ(host.ReceivedLines(), (QList<QByteArray>{"AG 8", "AFPF 37 67"}));
    EXPECT_EQ(controller->GasNumber(), 8);
    // 50 SCCM of nitrogen in grams per minute, as the full-scale query asks for it.
    EXPECT_DOUBLE_EQ(mfc.MaxFlow_gpm, 0.057252);
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("Max flow: 0.057252 g/m")));

    data.GasID = 1;
    EXPECT_TRUE(mfc.ChangeGas(data));
    EXPECT_EQ(host.ReceivedLines().mid(2), (QList<QByteArray>{"AG 1", "AFPF 37 67"}));
    EXPECT_EQ(mfc.GasID, 1);
}

TEST_F(AlicatMFCTest, ChangeGasTriesThreeTimesAndKeepsTheFullScaleOnAnUnreadableAnswer)
{
    mfc.MaxFlow_gpm = 20;
    ControllerFaults silent;
    silent.NoReply = true;
    Fault(silent);
    TAlicatData data;
    data.GasID = 5;
    EXPECT_FALSE(mfc.ChangeGas(data));
    EXPECT_EQ(host.ReceivedLines(), (QList<QByteArray>{"AG 5", "AG 5", "AG 5", "AFPF 37 67"}));
    EXPECT_EQ(mfc.GasID, -1);
    EXPECT_DOUBLE_EQ(mfc.MaxFlow_gpm, 20.0);

    // The gas command's reply is not examined; only the full-scale answer is read.
    const struct {
        QByteArray reply;
        double maxFlow;
    } answers[] = {
        {"A 75.50 12 SCCM", 75.5},
        {"A 5O.00 12 SCCM", 75.5},
        {"A  50.00 12 SCCM", 75.5},
        {"A 50.00 12", 75.5},
        {"A 1000 12 SLPM", 1000},
    };
    for (const auto& a : answers) {
        SCOPED_TRACE(a.reply.toStdString());
        FixedReply(a.reply);
        data.GasID = mfc.GasID == 6 ? 7 : 6;
        EXPECT_TRUE(mfc.ChangeGas(data));
        EXPECT_EQ(mfc.GasID, data.GasID);
        EXPECT_DOUBLE_EQ(mfc.MaxFlow_gpm, a.maxFlow);
    }
}

TEST_F(AlicatMFCTest, SetpointIsSentInCountsRoundedHalfToEven)
{
    LogCapture log(QStringLiteral("MFC"));
    const struct {
        double percent;
        QByteArray sent;
    } cases[] = {
        {100, "A64000"}, {50, "A32000"}, {0, "A0"}, {0.0007, "A0"}, {0.00390625, "A2"}, {0.01171875, "A8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        TAlicatData data;
        data.Setpoint_pct = c.percent;
        EXPECT_TRUE(mfc.ApplySetpoint_pct(data));
        EXPECT_EQ(host.ReceivedLines().last(), c.sent);
    }
    EXPECT_EQ(controller->SetpointCommandCount(), 6);
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("Apply setpoint 50% on:") + host.PortPath()));

    // Whatever a program or a caller computed, the controller is sent a setpoint in 0 … 100 %.
    const struct {
        double percent;
        QByteArray sent;
        const char* note;
    } outside[] = {
        {-40, "A0", "Setpoint -40% is outside 0 … 100 %, sending 0%"},
        {-2400, "A0", "Setpoint -2400% is outside 0 … 100 %, sending 0%"},
        {100.5, "A64000", "Setpoint 100.5% is outside 0 … 100 %, sending 100%"},
        {1e12, "A64000", "Setpoint 1000000000000% is outside 0 … 100 %, sending 100%"},
        {std::numeric_limits<double>::infinity(), "A64000", "Setpoint INF% is outside 0 … 100 %, sending 100%"},
        {std::nan(""), "A0", "Setpoint NAN% is outside 0 … 100 %, sending 0%"},
    };
    for (const auto& c : outside) {
        SCOPED_TRACE(c.percent);
        TAlicatData data;
        data.Setpoint_pct = c.percent;
        EXPECT_TRUE(mfc.ApplySetpoint_pct(data));
        EXPECT_EQ(host.ReceivedLines().last(), c.sent);
        EXPECT_TRUE(log.Lines().contains(QString::fromUtf8(c.note))) << log.Lines().join(u'|').toStdString();
    }

    ControllerFaults silent;
    silent.NoReply = true;
    Fault(silent);
    TAlicatData data;
    data.Setpoint_pct = 10;
    EXPECT_FALSE(mfc.ApplySetpoint_pct(data));
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("Apply setpoint failed: ") + kTimeout));
}

TEST_F(AlicatMFCTest, ReadStatusFollowsTheControllerAsTheFlowSettles)
{
    TAlicatData wish;
    wish.Setpoint_pct = 50;
    ASSERT_TRUE(mfc.ApplySetpoint_pct(wish));

    TAlicatData reading;
    QElapsedTimer waited;
    waited.start();
    do {
        reading = TAlicatData();
        ASSERT_TRUE(mfc.ReadStatus(reading));
    } while (reading.FlowRate_mass < 31900 && waited.elapsed() < 3000);

    EXPECT_NEAR(reading.FlowRate_mass, 32000, 100);
    EXPECT_DOUBLE_EQ(reading.SetpointFromDevice, 32000);
    EXPECT_DOUBLE_EQ(reading.Pressure, 14.7);
    EXPECT_DOUBLE_EQ(reading.Temp, 25);
    EXPECT_EQ(reading.GasSN, QStringLiteral("Air"));
    EXPECT_TRUE(reading.ErrorFlags.IsEmpty());
    EXPECT_TRUE(reading.Raw.startsWith(QStringLiteral("A:A +014.70 +025.00 ")));
    EXPECT_NEAR(reading.DataTime, NowDays(), 5.0 / SecondsPerDay);

    ControllerFaults faults;
    faults.StatusCodes = {QStringLiteral("HLD")};
    faults.LongReply = true;
    Fault(faults);
    ASSERT_TRUE(mfc.ReadStatus(reading));
    EXPECT_TRUE(reading.ErrorFlags.Contains(TAlicatError::HLD));
    EXPECT_LE(reading.Raw.size(), 2 + 80); // "A:" and the reply cut at 80 bytes (and trimmed)
    EXPECT_GT(reading.Raw.size(), 70);
    QString desc;
    EXPECT_TRUE(reading.Errors(desc));
    EXPECT_EQ(desc, QStringLiteral("Valve drive hold enabled (bypass active loop control)."));
}

TEST_F(AlicatMFCTest, ReadStatusTakesWhatTheReplyHoldsAndRejectsGarbledNumbers)
{
    TAlicatData earlier;
    earlier.Pressure = 99;
    earlier.GasSN = QStringLiteral("old");
    earlier.ErrorFlags.Include(TAlicatError::HLD);
    earlier.Raw = QStringLiteral("old");
    earlier.DataTime = 1;

    const struct {
        const char* name;
        QByteArray reply;
        bool result;
        double pressure;
        QString gas;
        TAlicatErrors flags;
        QString raw;
    } cases[] = {
        {"codes", "A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air MOV  TMF", true, 14.7, "Air",
         TAlicatErrors{(1u << 4) | (1u << 8)}, "A:A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air MOV  TMF"},
        {"lower-case code clears the flags", "A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air mov", true, 14.7,
         "Air", {}, "A:A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air mov"},
        {"no code field keeps the flags", "A +001.01 +025.00 +000.00 +000.00 +000.00 +000.00 N2", true, 1.01, "N2",
         earlier.ErrorFlags, "A:A +001.01 +025.00 +000.00 +000.00 +000.00 +000.00 N2"},
        {"seven fields", "A +002.00 +025.00 +000.00 +000.00 +000.00 +000.00", true, 2, "", earlier.ErrorFlags,
         "A:A +002.00 +025.00 +000.00 +000.00 +000.00 +000.00"},
        {"short reply replaces only Raw", "A +014.70 +025.00", true, 99, "old", earlier.ErrorFlags, "A:A +014.70 +025.00"},
        {"garbled number changes nothing", "A +014.70 +025.00 +000.00 +--.-- +000.00 +000.00 Air", false, 99, "old",
         earlier.ErrorFlags, "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixedReply(c.reply);
        TAlicatData data = earlier;
        EXPECT_EQ(mfc.ReadStatus(data), c.result);
        EXPECT_DOUBLE_EQ(data.Pressure, c.pressure);
        EXPECT_EQ(data.GasSN, c.gas);
        EXPECT_EQ(data.ErrorFlags.Bits, c.flags.Bits);
        EXPECT_EQ(data.Raw, c.raw);
        EXPECT_EQ(data.DataTime != earlier.DataTime, c.pressure != 99);
    }

    LogCapture log(QStringLiteral("MFC"));
    ControllerFaults silent;
    silent.NoReply = true;
    Fault(silent);
    TAlicatData data = earlier;
    EXPECT_FALSE(mfc.ReadStatus(data));
    EXPECT_EQ(data.Raw, QStringLiteral("old"));
    EXPECT_EQ(log.Lines(), (QStringList{QStringLiteral("ReadS: ") + host.PortPath(), QStringLiteral("Fail: ") + kTimeout}));
}

} // namespace
