#include "core/DewPoint.h"

#include "core/GasMixtures.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// The vapour-pressure formula written out again in its logarithmic form, solved by Newton's
// method with its derivative: a second route to a dew point that shares no code with the
// one under test. Over water above 0 °C, over ice at and below.
double ReferenceDewPoint(double VapourPressure_hPa)
{
    const double lnTarget = std::log(VapourPressure_hPa * 100);
    const bool overIce = VapourPressure_hPa <= std::exp(43.494 - 6545.8 / 278) / (868.0 * 868.0) / 100;
    double t = overIce ? -20 : 20;
    for (int i = 0; i < 50; ++i) {
        double lnP = 0;
        double slope = 0;
        if (overIce) {
            lnP = 43.494 - 6545.8 / (t + 278) - 2 * std::log(t + 868);
            slope = 6545.8 / ((t + 278) * (t + 278)) - 2 / (t + 868);
        } else {
            lnP = 34.494 - 4924.99 / (t + 237.1) - 1.57 * std::log(t + 105);
            slope = 4924.99 / ((t + 237.1) * (t + 237.1)) - 1.57 / (t + 105);
        }
        t -= (lnP - lnTarget) / slope;
    }
    return t;
}

TEST(DewPoint, AgreesWithAnIndependentSolutionFromMinus40To100)
{
    // Fractions and pressures chosen so that the partial pressures spread over the range
    // without landing on the formula's own grid of temperatures.
    for (double pressure : {0.5, 1.01325, 2.5}) {
        for (double t = -40; t <= 100; t += 3.7) {
            const double partial_hPa = WaterVapourPressure(t) * 0.987;
            const double fraction = partial_hPa / 1000 / pressure;
            if (fraction >= 1)
                continue;
            const TDewPoint dew = DewPoint(fraction, pressure);
            ASSERT_TRUE(dew.Valid) << t << " °C at " << pressure << " bar: " << dew.Status.toStdString();
            EXPECT_NEAR(dew.TemperatureC, ReferenceDewPoint(partial_hPa), 0.001) << t << " °C at " << pressure;
            EXPECT_LT(dew.TemperatureC, t); // less water than saturation condenses lower
        }
    }
    // Saturated gas has its own temperature as dew point, on both sides of 0 °C.
    for (double t : {-40.0, -0.5, 0.5, 37.0, 99.9})
        EXPECT_NEAR(DewPoint(WaterVapourPressure(t) / 1000 / 1.01325, 1.01325).TemperatureC, t, 0.001) << t;
}

TEST(DewPoint, MatchesPublishedTables)
{
    // Steam tables: 12.352 kPa saturates at 50 °C over water; 103.26 Pa at -20 °C over ice.
    EXPECT_NEAR(DewPointOfVapourPressure(123.52).TemperatureC, 50, 0.01);
    EXPECT_NEAR(DewPointOfVapourPressure(1.0326).TemperatureC, -20, 0.01);
    // A dew-point chart, to its one decimal: air at 20 °C and 50 % relative humidity, 9.3 °C.
    EXPECT_NEAR(DewPoint(0.5 * WaterVapourPressure(20) / 1000 / 1.01325, 1.01325).TemperatureC, 9.3, 0.05);
}

TEST(DewPoint, RefusesWhatHasNoDewPointInTheFormulasRange)
{
    struct Case {
        double Fraction;
        double Pressure_BarA;
        const char* Says;
    };
    const Case cases[] = {
        {0, 1.01325, "No water"},
        {-0.01, 1.01325, "No water"},
        {std::nan(""), 1.01325, "No water"},
        {0.01, 0, "No pressure"},
        {0.6, 2, "1200 hPa is above the vapour-pressure formula's range"}, // dew point above 100 °C
        {1e-8, 1, "is below the vapour-pressure formula's range"},
    };
    for (const Case& c : cases) {
        const TDewPoint dew = DewPoint(c.Fraction, c.Pressure_BarA);
        EXPECT_FALSE(dew.Valid) << c.Fraction;
        EXPECT_TRUE(dew.Status.contains(QString::fromUtf8(c.Says))) << dew.Status.toStdString();
    }
    // The ends of the range still have a dew point.
    EXPECT_NEAR(DewPointOfVapourPressure(WaterVapourPressure(100)).TemperatureC, 100, 1e-6);
    EXPECT_NEAR(DewPointOfVapourPressure(WaterVapourPressure(-100)).TemperatureC, -100, 1e-6);
}

} // namespace
