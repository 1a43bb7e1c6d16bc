#include "core/NumberText.h"
#include "instruments/PumpDispense.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

constexpr double kUnchanged = -12345; // Error_pct before planning, to see whether it is written

TPumpSpeedDetails Planned(double desired)
{
    TPumpSpeedDetails details;
    details.Init();
    details.DesiredDispense_ugpm = desired;
    details.Error_pct = kUnchanged;
    PumpCommandForDispense(details);
    return details;
}

const double kBreakpoint = 60 / (1200 * 1.000319 + 1.668) * 12.5 * 1000 * 0.99819;

TEST(PumpDispense, RatesFollowTheStrokeFormulasAndClampTheirParameter)
{
    TPumpSpeedDetails details;
    details.Init();
    EXPECT_NEAR(DispenseRateContinuous(details, 5), 622.804377, 1e-6);
    EXPECT_NEAR(DispenseRateContinuous(details, 1000), 97607.6785, 1e-4);
    EXPECT_NEAR(DispenseRateStepped(details, 30000), 1.038265, 1e-6);
    EXPECT_EQ(DispenseRateContinuous(details, -3), DispenseRateContinuous(details, 5));
    EXPECT_EQ(DispenseRateContinuous(details, 4000), DispenseRateContinuous(details, 1000));
    EXPECT_EQ(DispenseRateStepped(details, 0), DispenseRateStepped(details, 5));
    EXPECT_EQ(DispenseRateStepped(details, 99999), DispenseRateStepped(details, 30000));

    TPumpSpeedDetails doubled = details;
    doubled.SyringeVolume_ul = 25;
    doubled.FluidDensity = 2 * details.FluidDensity;
    EXPECT_DOUBLE_EQ(DispenseRateContinuous(doubled, 80), 4 * DispenseRateContinuous(details, 80));
    EXPECT_DOUBLE_EQ(DispenseRateStepped(doubled, 80), 4 * DispenseRateStepped(details, 80));
}

TEST(PumpDispense, PlansTheProgramForTheWantedRate)
{
    struct Case {
        const char* name;
        double desired;
        bool result;
        const char* command;
        double achieved;
        double errorPct; // kUnchanged: planning leaves Error_pct alone
    };
    const double tolerance = 0.005;
    const Case cases[] = {
        {"zero stops the pump", 0, false, "TR", 0, kUnchanged},
        {"breakpoint itself is stepped", kBreakpoint, true, "gIV6000A24000OV1000gD1M6G24000GR", 626.2548, 0.554},
        {"just above the breakpoint is continuous", kBreakpoint + 1e-6, true, "gIV6000A24000OV5A0GR", 622.8044, 0},
        {"continuous", 1000, true, "gIV6000A24000OV8A0GR", 995.658, -0.434},
        {"stepped", 300, true, "gIV6000A24000OV1000gD1M60G24000GR", 300.487, 0.162},
        {"far above the fastest rate", 1e6, true, "gIV6000A24000OV1000A0GR", 97607.679, -90.239},
        {"negative rate", -5, true, "gIV6000A24000OV1000gD1M29999G24000GR", 1.0383, kUnchanged},
        // M = 30000 is evaluated last and lies closer to 1.0, but it never started an iteration.
        {"below the slowest rate", 1.0, true, "gIV6000A24000OV1000gD1M29999G24000GR", 1.0383, 3.83},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPumpSpeedDetails details;
        details.Init();
        details.DesiredDispense_ugpm = c.desired;
        details.Error_pct = kUnchanged;
        EXPECT_EQ(PumpCommandForDispense(details), c.result);
        EXPECT_EQ(details.Command, QString::fromLatin1(c.command));
        EXPECT_NEAR(details.AchievedDispense_ugpm, c.achieved, tolerance);
        if (c.errorPct == kUnchanged)
            EXPECT_EQ(details.Error_pct, kUnchanged);
        else
            EXPECT_NEAR(details.Error_pct, c.errorPct, tolerance);
    }
}

TEST(PumpDispense, AchievedRateIsTheRateOfTheCommandedParameter)
{
    static const QRegularExpression stepped(QStringLiteral(R"(^gIV6000A24000OV1000gD1M(\d+)G24000GR$)"));
    static const QRegularExpression continuous(QStringLiteral(R"(^gIV6000A24000OV(\d+)A0GR$)"));
    for (double syringe : {12.5, 50.0, 250.0}) {
        for (double desired = 0.5; desired < 2e5; desired *= 1.37) {
            SCOPED_TRACE(QStringLiteral("syringe %1 desired %2").arg(syringe).arg(desired).toStdString());
            TPumpSpeedDetails details;
            details.Init();
            details.SyringeVolume_ul = syringe;
            details.DesiredDispense_ugpm = desired;
            ASSERT_TRUE(PumpCommandForDispense(details));
            const auto s = stepped.match(details.Command);
            const auto c = continuous.match(details.Command);
            ASSERT_TRUE(s.hasMatch() || c.hasMatch()) << details.Command.toStdString();
            const double expected = s.hasMatch() ? DispenseRateStepped(details, s.captured(1).toInt())
                                                 : DispenseRateContinuous(details, c.captured(1).toInt());
            EXPECT_EQ(details.AchievedDispense_ugpm, expected);
            EXPECT_NEAR(details.Error_pct, (expected - desired) / desired * 100, 1e-9);
            EXPECT_EQ(s.hasMatch(), desired <= DispenseRateContinuous(details, 5));
        }
    }
}

// Every syringe the pump takes, at whole setpoints of a full scale of 25 syringe volumes a
// minute: within reach the plan doses the wanted rate to the nearest speed code; past the
// fastest code (V1000: 7.82 syringe volumes a minute, 31.29 % of that full scale; 31.23 % of
// the wanted µg/min, which counts a µl as 1000 µg) it doses the fastest rate and says that
// it is out of reach.
TEST(PumpDispense, DosesTheWantedRateWithinReachAndSaysWhenItIsOutOfReach)
{
    static const QRegularExpression continuous(QStringLiteral(R"(^gIV6000A24000OV(\d+)A0GR$)"));
    for (double syringe : {12.5, 25.0, 50.0, 100.0, 125.0, 250.0, 500.0, 1000.0, 1250.0, 2500.0, 5000.0, 12500.0}) {
        for (int setpoint = 1; setpoint <= 100; ++setpoint) {
            SCOPED_TRACE(QStringLiteral("syringe %1 setpoint %2").arg(syringe).arg(setpoint).toStdString());
            TPumpSpeedDetails details;
            details.Init();
            details.SyringeVolume_ul = syringe;
            details.DesiredDispense_ugpm = setpoint / 100.0 * 25 * syringe * 1000;
            ASSERT_TRUE(PumpCommandForDispense(details));
            const double desired = details.DesiredDispense_ugpm;
            const auto code = continuous.match(details.Command);
            ASSERT_TRUE(code.hasMatch()) << details.Command.toStdString();
            const int b = code.captured(1).toInt();
            const double fastest = DispenseRateContinuous(details, 1000);
            EXPECT_EQ(details.OutOfReach, setpoint >= 32);
            EXPECT_EQ(details.Feedback.contains(QStringLiteral("Out of reach:")), details.OutOfReach);
            if (details.OutOfReach) {
                EXPECT_EQ(b, 1000);
                EXPECT_EQ(details.AchievedDispense_ugpm, fastest);
                EXPECT_NEAR(details.AchievedDispense_ugpm / desired, 31.2345 / setpoint, 1e-5);
                continue;
            }
            const double error = std::fabs(details.AchievedDispense_ugpm - desired);
            EXPECT_LE(error, std::fabs(DispenseRateContinuous(details, b - 1) - desired));
            EXPECT_LE(error, std::fabs(DispenseRateContinuous(details, b + 1) - desired));
        }
    }
    // The slow end: below the longest delay's rate, and a negative rate.
    EXPECT_TRUE(Planned(1.0).OutOfReach);
    EXPECT_TRUE(Planned(-5).OutOfReach);
    EXPECT_FALSE(Planned(300).OutOfReach);
    EXPECT_FALSE(Planned(0).OutOfReach);
    EXPECT_TRUE(Planned(1.0).Feedback.endsWith(QStringLiteral("\r\nOut of reach: the nearest rate the pump doses is ")
                                               + FloatToStr(DispenseRateStepped(Planned(1.0), 29999)) + QStringLiteral(" µg/min")));
}

TEST(PumpDispense, FeedbackTracesTheSearch)
{
    const QString header = QStringLiteral("Desired dispense:%1 µL/min\r\nFormula breakpoint:%2 µL/min\r\n");
    const QString breakpoint = FloatToStr(kBreakpoint);

    EXPECT_EQ(Planned(0).Feedback, header.arg(QStringLiteral("0"), breakpoint));

    const TPumpSpeedDetails stepped = Planned(300);
    const QStringList lines = stepped.Feedback.split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Desired dispense:300 µL/min"));
    // The first midpoint, (1 + 30000) / 2, rounds to the even 15000.
    const double first = DispenseRateStepped(stepped, 15000);
    EXPECT_EQ(lines[2], QStringLiteral("Stop: BL:1 M:15000 BH:30000 Desired:300 Achieved:%1 Error:%2 Prev Error:%3")
                            .arg(FloatToStr(first), FloatToStr(300 - first), FloatToStr(std::numeric_limits<double>::max())));
    EXPECT_EQ(lines[3], QString(lines[2]).replace(0, 4, QStringLiteral("Start")));
    EXPECT_EQ(lines.last(), QStringLiteral("Final: M:60 Desired:300 Achieved:") + FloatToStr(stepped.AchievedDispense_ugpm));
    EXPECT_EQ(stepped.Feedback.count(QStringLiteral("Start: BL:")), 15);

    const TPumpSpeedDetails continuous = Planned(1000);
    const QStringList passes = continuous.Feedback.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(passes.isEmpty());
    EXPECT_EQ(passes[0], QStringLiteral("BL:5 EL:%1 * BH:1000 EH:%2")
                             .arg(FloatToStr(1000 - DispenseRateContinuous(continuous, 5)),
                                  FloatToStr(1000 - DispenseRateContinuous(continuous, 1000))));
    EXPECT_TRUE(continuous.Feedback.endsWith(QStringLiteral("\r\n")));
    // The closing line repeats the errors of the last pass with the final bounds.
    const QString last = passes.last();
    const QString beforeLast = passes[passes.size() - 2];
    EXPECT_EQ(last.section(u' ', 1, 1), beforeLast.section(u' ', 1, 1));
    EXPECT_EQ(last.section(u' ', 4, 4), beforeLast.section(u' ', 4, 4));
}

TEST(PumpDispense, CommandsKeepDigitsUnderACommaLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TPumpSpeedDetails details = Planned(2.5);
    QLocale::setDefault(saved);
    EXPECT_TRUE(details.Feedback.startsWith(QStringLiteral("Desired dispense:2,5 µL/min\r\n")));
    EXPECT_EQ(details.Command, Planned(2.5).Command);
}

TEST(PumpDispense, InitKeepsCommandAndFeedback)
{
    TPumpSpeedDetails details = Planned(300);
    details.SyringeVolume_ul = 50;
    details.Init();
    EXPECT_EQ(details.SyringeVolume_ul, 12.5);
    EXPECT_EQ(details.TotalSteps, 24000);
    EXPECT_EQ(details.FluidDensity, 0.99819);
    EXPECT_EQ(details.DesiredDispense_ugpm, 0);
    EXPECT_EQ(details.AchievedDispense_ugpm, 0);
    EXPECT_EQ(details.Error_pct, 0);
    EXPECT_EQ(details.Command, QStringLiteral("gIV6000A24000OV1000gD1M60G24000GR"));
    EXPECT_FALSE(details.Feedback.isEmpty());

    TPumpSpeedDetails far = Planned(1e6);
    far.Init();
    EXPECT_FALSE(far.OutOfReach);
}

} // namespace
