#include "core/GasMixtures.h"

#include <cmath>

double WaterVapourPressure(double TemperatureC)
{
    const long double t = TemperatureC;
    long double pascal = 0;
    if (t > 0)
        pascal = std::exp(34.494L - 4924.99L / (t + 237.1L)) / std::pow(t + 105, 1.57L);
    else // over ice
        pascal = std::exp(43.494L - 6545.8L / (t + 278)) / std::pow(t + 868, 2.0L);
    return double(pascal / 100);
}

double MillilitresFromMoles(double Moles, double TemperatureC, double Pressure_BarA)
{
    if (!(Pressure_BarA > 0))
        return -1;
    return double(Moles * MixtureGasConstantR * ((long double)TemperatureC + NormalKelvin) / Pressure_BarA * 1000);
}
