#include "core/DewPoint.h"

#include "core/GasMixtures.h"
#include "core/NumberText.h"

#include <cmath>

namespace {

TDewPoint Refused(const QString& status)
{
    TDewPoint result;
    result.Status = status;
    return result;
}

// The temperature in [low, high] where WaterVapourPressure reaches target. The formula rises
// monotonically on each side of 0 °C, so halving the bracket converges; 60 halvings of 100 K
// leave far less than the 0.01 K asked of a dew point.
double SolveRising(double target_hPa, double low, double high)
{
    for (int i = 0; i < 60 && high - low > 1e-9; ++i) {
        const double middle = (low + high) / 2;
        if (WaterVapourPressure(middle) < target_hPa)
            low = middle;
        else
            high = middle;
    }
    return (low + high) / 2;
}

} // namespace

TDewPoint DewPointOfVapourPressure(double VapourPressure_hPa)
{
    if (!(VapourPressure_hPa > 0))
        return Refused(QStringLiteral("No water: no dew point"));
    if (VapourPressure_hPa < WaterVapourPressure(DewPointLowestC))
        return Refused(QStringLiteral("Water partial pressure ") + FloatToStr(VapourPressure_hPa)
                       + QStringLiteral(" hPa is below the vapour-pressure formula's range (dew point below -100 °C)"));
    if (VapourPressure_hPa > WaterVapourPressure(DewPointHighestC))
        return Refused(QStringLiteral("Water partial pressure ") + FloatToStr(VapourPressure_hPa)
                       + QStringLiteral(" hPa is above the vapour-pressure formula's range (dew point above 100 °C)"));
    TDewPoint result;
    result.Valid = true;
    // The ice formula holds at and below 0 °C and ends slightly above where the water formula
    // starts: a pressure the ice side reaches condenses as frost.
    if (VapourPressure_hPa <= WaterVapourPressure(0))
        result.TemperatureC = SolveRising(VapourPressure_hPa, DewPointLowestC, 0);
    else
        result.TemperatureC = SolveRising(VapourPressure_hPa, 0, DewPointHighestC);
    return result;
}

TDewPoint DewPoint(double WaterFraction, double Pressure_BarA)
{
    if (!(WaterFraction > 0))
        return Refused(QStringLiteral("No water: no dew point"));
    if (!(Pressure_BarA > 0))
        return Refused(QStringLiteral("No pressure: no dew point"));
    return DewPointOfVapourPressure(WaterFraction * Pressure_BarA * 1000);
}
