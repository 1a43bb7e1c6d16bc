#include "instruments/PumpDispense.h"
#include "tools/PumpSimulator.h"

#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

QByteArray Reply(PumpSimulator& pump, const QByteArray& command)
{
    const std::optional<SimulatorReply> reply = pump.Answer("/1" + command);
    return reply ? reply->bytes : QByteArray("<silent>");
}

QByteArray Frame(const QByteArray& statusAndData) { return "/0" + statusAndData + "\x03\r\n"; }

// Polls a condition of the pump (it has no notification) until it holds or time runs out.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 2s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

PumpSimulatorOptions Fast(double timeScale = 0.001)
{
    PumpSimulatorOptions options;
    options.TimeScale = timeScale;
    return options;
}

// A pump moves its plunger only after its first initialisation.
void Initialise(PumpSimulator& pump)
{
    EXPECT_EQ(Reply(pump, "ZN1R"), Frame("@"));
    EXPECT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "Q"), Frame("`"));
}

TEST(PumpSimulator, AnswersFramesAddressedToIt)
{
    PumpSimulator pump(Fast());
    struct Case {
        const char* command;
        QByteArray reply;
    };
    const Case cases[] = {
        {"?22", Frame("`255")},
        {"Q", Frame("`")},
        {"", Frame("`")},
        {"?", Frame("`0")},
        {"X", Frame("b")}, // unknown command
        {"V0R", Frame("c")}, // speed out of range
        {"V4R", Frame("c")},
        {"V6001R", Frame("c")}, // above the pump's top speed
        {"A24001R", Frame("c")},
        {"M30001R", Frame("c")},
        {"gIA0R", Frame("b")}, // repeat never closed
        {"IA0GR", Frame("b")},
        {"s15A1R", Frame("c")}, // no such slot
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(Reply(pump, c.command), c.reply);
    }
    EXPECT_FALSE(pump.Answer("/2Q").has_value());
    EXPECT_FALSE(pump.Answer("garbage").has_value());
    EXPECT_FALSE(pump.Busy());
}

TEST(PumpSimulator, InitialiseAndMovesKeepThePumpBusyForTheirTime)
{
    PumpSimulator pump(Fast(0.05));
    EXPECT_EQ(Reply(pump, "ZN1R"), Frame("@"));
    EXPECT_EQ(Reply(pump, "?"), Frame("@0"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));

    // 24000 steps at speed 1000 take 6 s on the pump, 300 ms here.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Reply(pump, "V1000A24000R"), Frame("@"));
    EXPECT_EQ(Reply(pump, "?"), Frame("@24000")); // the target of the move in progress
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 299ms);
    EXPECT_EQ(Reply(pump, "Q"), Frame("`"));
    EXPECT_EQ(pump.LastProgram(), QByteArray("V1000A24000R"));

    // Without R the program waits for a lone R.
    EXPECT_EQ(Reply(pump, "A100"), Frame("`"));
    EXPECT_FALSE(pump.Busy());
    EXPECT_EQ(Reply(pump, "R"), Frame("@"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "?"), Frame("`100"));
}

TEST(PumpSimulator, RefusesProgramsWhileBusyAndStopsOnTerminate)
{
    PumpSimulator pump(Fast(0.01));
    Initialise(pump);
    EXPECT_EQ(Reply(pump, "V50A24000R"), Frame("@")); // two minutes on the pump, 1.2 s here
    EXPECT_EQ(Reply(pump, "A0R"), Frame("O"));
    EXPECT_EQ(pump.LastProgram(), QByteArray("A0R"));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Reply(pump, "TR"), Frame("`"));
    EXPECT_EQ(pump.TerminateCount(), 1);
    EXPECT_FALSE(pump.Busy());
    const std::int32_t stoppedAt = pump.PlungerPosition();
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 24000);
    EXPECT_EQ(Reply(pump, "T"), Frame("`"));
    EXPECT_EQ(pump.TerminateCount(), 1);
    EXPECT_EQ(pump.LastProgram(), QByteArray("A0R"));
}

TEST(PumpSimulator, SerialNumberLivesInSlotsTwelveAndThirteen)
{
    const auto readSerial = [](PumpSimulator& pump) {
        Initialise(pump);
        QByteArray text;
        for (const char* slot : {"e12R", "e13R"}) {
            Reply(pump, slot);
            EXPECT_TRUE(Eventually([&] { return !pump.Busy(); }));
            text += Reply(pump, "?").mid(3).chopped(3);
        }
        return text;
    };
    PumpSimulator standard(Fast());
    EXPECT_EQ(readSerial(standard), QByteArray("23011001"));

    PumpSimulatorOptions options = Fast();
    options.Serial = "12345678";
    PumpSimulator custom(options);
    EXPECT_EQ(custom.StoredCommands(12), QByteArray("A1234"));
    EXPECT_EQ(readSerial(custom), QByteArray("12345678"));

    EXPECT_EQ(Reply(custom, "s12A4321R"), Frame("`"));
    EXPECT_EQ(Reply(custom, "s13A0087R"), Frame("`"));
    EXPECT_EQ(custom.StoredCommands(12), QByteArray("A4321"));
    EXPECT_EQ(readSerial(custom), QByteArray("432187"));

    options.Serial = "1234";
    PumpSimulator without(options);
    EXPECT_TRUE(without.StoredCommands(12).isEmpty());
}

TEST(PumpSimulator, DispenseProgramsLoopUntilTerminatedAtThePlannedRate)
{
    const double planned[] = {1000, 300, 40000, 20, 1e6}; // 1e6: beyond the fastest speed code
    for (double desired : planned) {
        TPumpSpeedDetails plan;
        plan.Init();
        plan.DesiredDispense_ugpm = desired;
        ASSERT_TRUE(PumpCommandForDispense(plan));
        SCOPED_TRACE(plan.Command.toStdString());

        // Ten thousand times faster: a slow stroke of about 40 minutes passes in a quarter second.
        const double timeScale = 1e-4;
        PumpSimulator pump(Fast(timeScale));
        Initialise(pump);
        EXPECT_EQ(Reply(pump, plan.Command.toLatin1()), Frame("@"));
        std::this_thread::sleep_for(30ms);
        const auto t1 = std::chrono::steady_clock::now();
        const double v1 = pump.DispensedVolume_ul();
        std::this_thread::sleep_for(300ms);
        const auto t2 = std::chrono::steady_clock::now();
        const double v2 = pump.DispensedVolume_ul();
        EXPECT_TRUE(pump.Busy());
        EXPECT_EQ(Reply(pump, "Q"), Frame("@"));

        const double pumpMinutes = std::chrono::duration<double>(t2 - t1).count() / timeScale / 60;
        const double rate_ugpm = (v2 - v1) / pumpMinutes * 1000 * plan.FluidDensity;
        EXPECT_NEAR(rate_ugpm, plan.AchievedDispense_ugpm, 0.005 * plan.AchievedDispense_ugpm);

        EXPECT_EQ(Reply(pump, "TR"), Frame("`"));
        EXPECT_FALSE(pump.Busy());
        const double stopped = pump.DispensedVolume_ul();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(pump.DispensedVolume_ul(), stopped);
        EXPECT_EQ(pump.LastProgram(), plan.Command.toLatin1());
    }
}

TEST(PumpSimulator, FaultsOnDemand)
{
    PumpSimulatorOptions options = Fast();
    options.StatusOverride = 'i';
    PumpSimulator pump(options);
    EXPECT_EQ(Reply(pump, "Q"), Frame("i"));
    EXPECT_EQ(Reply(pump, "?22"), Frame("`255")); // still connects

    pump.SetStatusOverride(std::nullopt);
    pump.SetNeverReady(true);
    EXPECT_EQ(Reply(pump, "Q"), Frame("@"));
    EXPECT_EQ(Reply(pump, "X"), Frame("B"));
    EXPECT_FALSE(pump.Busy());

    pump.SetNeverReady(false);
    pump.SetSilent(true);
    EXPECT_FALSE(pump.Answer("/1?22").has_value());
    pump.SetSilent(false);
    EXPECT_EQ(Reply(pump, "Q"), Frame("b")); // the error of "X" still stands
}

TEST(PumpSimulator, ReportsWhatThePumpIsDoing)
{
    PumpSimulatorOptions options = Fast(0.05);
    options.Firmware = "PSD/4 test 2.3";
    PumpSimulator pump(options);
    EXPECT_EQ(Reply(pump, "&"), Frame("`PSD/4 test 2.3"));
    EXPECT_EQ(Reply(pump, "?7"), Frame("b")); // a report it does not have
    Initialise(pump);
    EXPECT_EQ(Reply(pump, "?2"), Frame("`6000"));
    EXPECT_EQ(Reply(pump, "?6"), Frame("`i"));

    // 24000 steps at speed 1000: 6 s on the pump, 300 ms here.
    EXPECT_EQ(Reply(pump, "V1000OA24000R"), Frame("@"));
    std::int32_t before = 0;
    ASSERT_TRUE(Eventually([&] {
        const QByteArray now = Reply(pump, "?4");
        const std::int32_t position = now.mid(3).chopped(3).toInt();
        EXPECT_GE(position, before);
        before = position;
        return position > 0 && position < 24000;
    }));
    EXPECT_EQ(Reply(pump, "?"), Frame("@24000")); // the target, while ?4 tells where it is
    EXPECT_EQ(Reply(pump, "?2"), Frame("@1000"));
    EXPECT_EQ(Reply(pump, "?6"), Frame("@o"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "?4"), Frame("`24000"));
}

TEST(PumpSimulator, RefusedMovesLeaveTheirErrorUntilTheNextCommand)
{
    PumpSimulator pump(Fast());
    // Before its first initialisation the pump does not move its plunger, nor the rest of
    // the program; valve turns and settings are taken.
    EXPECT_EQ(Reply(pump, "A3000R"), Frame("g"));
    EXPECT_EQ(Reply(pump, "Q"), Frame("g"));
    EXPECT_EQ(Reply(pump, "?"), Frame("g0"));
    EXPECT_EQ(Reply(pump, "OR"), Frame("@"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "Q"), Frame("`"));
    EXPECT_EQ(Reply(pump, "IA100OA0R"), Frame("@"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "Q"), Frame("g"));
    EXPECT_EQ(Reply(pump, "?6"), Frame("gi")); // stopped at the move, before the second turn

    Initialise(pump);
    // With the valve in bypass a plunger move is not allowed.
    EXPECT_EQ(Reply(pump, "BR"), Frame("@"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "A1000R"), Frame("k"));
    EXPECT_EQ(Reply(pump, "Q"), Frame("k"));
    EXPECT_EQ(Reply(pump, "?4"), Frame("k0"));
    EXPECT_EQ(Reply(pump, "V2000R"), Frame("`")); // taken: the error is cleared
    EXPECT_EQ(Reply(pump, "Q"), Frame("`"));
    EXPECT_EQ(Reply(pump, "V7000R"), Frame("c"));
    EXPECT_EQ(Reply(pump, "Q"), Frame("c"));
    EXPECT_EQ(Reply(pump, "TR"), Frame("`"));
    EXPECT_EQ(Reply(pump, "IA1000R"), Frame("@"));
    ASSERT_TRUE(Eventually([&] { return !pump.Busy(); }));
    EXPECT_EQ(Reply(pump, "?"), Frame("`1000"));
}

} // namespace
