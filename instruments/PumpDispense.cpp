#include "instruments/PumpDispense.h"

#include "core/NumberText.h"

#include <QStringBuilder>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The stroke formulas are the maker's timings for a full 24000-step stroke.
constexpr double kStrokeSteps = 24000;
constexpr double kLargest = std::numeric_limits<double>::max();
const QString kLineEnd = QStringLiteral("\r\n");

// sum / 2 rounded to the nearest integer, a half going to the even neighbour (banker's
// rounding), so (1 + 30000) / 2 gives 15000 and 5 / 2 gives 2.
std::int32_t HalfTiesToEven(std::int64_t sum)
{
    const std::int64_t down = sum >= 0 ? sum / 2 : -((-sum + 1) / 2);
    if (sum % 2 == 0)
        return std::int32_t(down);
    return std::int32_t(down % 2 == 0 ? down : down + 1);
}

QString Num(double value) { return FloatToStr(value); }
QString Num(std::int32_t value) { return QString::number(value); }

// The body of a bisection trace line after its "Stop: BL:" or "Start: BL:" label. The two
// labels share one body per step, and each error is formatted once and reused as the next
// step's previous error: the tick plans every pump every second.
QString BisectionBody(std::int32_t BL, std::int32_t M, std::int32_t BH, const QString& desired, double achieved,
                      const QString& error, const QString& prevError)
{
    return Num(BL) % QLatin1String(" M:") % Num(M) % QLatin1String(" BH:") % Num(BH) % QLatin1String(" Desired:")
        % desired % QLatin1String(" Achieved:") % Num(achieved) % QLatin1String(" Error:") % error
        % QLatin1String(" Prev Error:") % prevError % kLineEnd;
}

QString BracketLine(std::int32_t BL, double EL, std::int32_t BH, double EH)
{
    return QLatin1String("BL:") % Num(BL) % QLatin1String(" EL:") % Num(EL) % QLatin1String(" * BH:") % Num(BH)
        % QLatin1String(" EH:") % Num(EH) % kLineEnd;
}

// The stepped program: bisection over the delay M. The rate falls as M grows, so a positive
// error (rate too low) moves the upper bound down. Only an M that started an iteration can
// become the best one; the evaluation after the last halving is traced but never chosen.
void PlanStepped(TPumpSpeedDetails& details)
{
    const double desired = details.DesiredDispense_ugpm;
    const QString desiredText = Num(desired);
    const QString stopLabel = QStringLiteral("Stop: BL:");
    const QString startLabel = QStringLiteral("Start: BL:");
    std::int32_t BL = 1;
    std::int32_t BH = 30000;
    std::int32_t M = HalfTiesToEven(std::int64_t(BL) + BH);
    QString prevErrorText = Num(kLargest);
    double bestErr = kLargest;
    std::int32_t bestM = 0;
    double bestAchieved = 0;
    double achieved = DispenseRateStepped(details, M);
    double error = desired - achieved;
    QString errorText = Num(error);
    QString body = BisectionBody(BL, M, BH, desiredText, achieved, errorText, prevErrorText);
    details.Feedback += stopLabel + body;
    while (BH - BL > 1) {
        details.Feedback += startLabel + body;
        if (std::fabs(error) < std::fabs(bestErr)) {
            bestErr = error;
            bestM = M;
            bestAchieved = achieved;
        }
        if (error > 0)
            BH = M;
        else
            BL = M;
        M = HalfTiesToEven(std::int64_t(BL) + BH);
        achieved = DispenseRateStepped(details, M);
        prevErrorText = errorText;
        error = desired - achieved;
        errorText = Num(error);
        body = BisectionBody(BL, M, BH, desiredText, achieved, errorText, prevErrorText);
        details.Feedback += stopLabel + body;
    }
    details.AchievedDispense_ugpm = bestAchieved;
    details.Command = QStringLiteral("gIV6000A24000OV1000gD1M") + Num(bestM) + QStringLiteral("G24000GR");
    details.Feedback += QStringLiteral("Final: M:") + Num(bestM) + QStringLiteral(" Desired:") + desiredText
        + QStringLiteral(" Achieved:") + Num(bestAchieved);
    if (desired > 0)
        details.Error_pct = (bestAchieved - desired) / desired * 100;
}

// The continuous program: bracketing over the speed code b, at most 25 passes.
void PlanContinuous(TPumpSpeedDetails& details)
{
    const double desired = details.DesiredDispense_ugpm;
    std::int32_t BL = 5;
    std::int32_t BH = 1000;
    double EL = kLargest;
    double EH = kLargest;
    for (int pass = 0; pass < 25 && BH - BL > 1; ++pass) {
        EL = desired - DispenseRateContinuous(details, BL);
        EH = desired - DispenseRateContinuous(details, BH);
        details.Feedback += BracketLine(BL, EL, BH, EH);
        if (EL < 0)
            BL = std::max(HalfTiesToEven(BL), 5);
        else if (EH > 0)
            BH = std::min(2 * BH, 1000);
        else if (std::fabs(EH) > std::fabs(EL))
            BH = HalfTiesToEven(std::int64_t(BL) + BH);
        else
            BL = HalfTiesToEven(std::int64_t(BL) + BH);
        BL = std::max(BL, 5);
        BH = std::min(BH, 1000);
    }
    details.Feedback += BracketLine(BL, EL, BH, EH);
    EL = desired - DispenseRateContinuous(details, BL);
    EH = desired - DispenseRateContinuous(details, BH);
    const std::int32_t best = std::fabs(EH) > std::fabs(EL) ? BL : BH;
    details.Command = QStringLiteral("gIV6000A24000OV") + Num(best) + QStringLiteral("A0GR");
    details.AchievedDispense_ugpm = DispenseRateContinuous(details, best);
    if (desired > 0)
        details.Error_pct = (details.AchievedDispense_ugpm / desired - 1) * 100;
}

} // namespace

void TPumpSpeedDetails::Init()
{
    SyringeVolume_ul = 12.5;
    TotalSteps = 24000;
    FluidDensity = 0.99819;
    DesiredDispense_ugpm = 0;
    AchievedDispense_ugpm = 0;
    Error_pct = 0;
    OutOfReach = false;
}

double DispenseRateContinuous(const TPumpSpeedDetails& details, std::int32_t b)
{
    b = std::clamp(b, 5, 1000);
    const double strokeTime_s = (kStrokeSteps / b) / 4 * 1.000319 + 1.668;
    return 60 / strokeTime_s * details.SyringeVolume_ul * 1000 * details.FluidDensity;
}

double DispenseRateStepped(const TPumpSpeedDetails& details, std::int32_t M)
{
    M = std::clamp(M, 5, 30000);
    const double strokeTime_s = ((M + 0.44) * kStrokeSteps + 1039200) / 1000 + 1.668;
    return details.SyringeVolume_ul / (strokeTime_s / 60) * 1000 * details.FluidDensity;
}

bool PumpCommandForDispense(TPumpSpeedDetails& details)
{
    const double desired = details.DesiredDispense_ugpm;
    details.Feedback.clear();
    details.Feedback.reserve(4096); // room for the longest trace, about 31 lines
    details.Feedback += QStringLiteral("Desired dispense:") + Num(desired) + QStringLiteral(" µL/min") + kLineEnd;
    const double breakpoint = DispenseRateContinuous(details, 5);
    details.Feedback += QStringLiteral("Formula breakpoint:") + Num(breakpoint) + QStringLiteral(" µL/min") + kLineEnd;
    if (desired == 0) {
        details.AchievedDispense_ugpm = 0;
        details.Command = QStringLiteral("TR");
        return false;
    }
    if (desired <= breakpoint)
        PlanStepped(details);
    else
        PlanContinuous(details);
    // The speed codes end at 1000 and the delays at 30000 ms: past either end the plan is
    // clamped, and the trace says so.
    details.OutOfReach =
        desired > DispenseRateContinuous(details, 1000) || desired < DispenseRateStepped(details, 30000);
    if (details.OutOfReach) {
        if (!details.Feedback.endsWith(kLineEnd))
            details.Feedback += kLineEnd;
        details.Feedback += QStringLiteral("Out of reach: the nearest rate the pump doses is ")
            + Num(details.AchievedDispense_ugpm) + QStringLiteral(" µg/min");
    }
    return true;
}
