#pragma once
// The dew point of a humid gas: the temperature at which the saturation vapour pressure of
// water (WaterVapourPressure, over ice at and below 0 °C) equals the water's partial pressure.
// The inverse of the humidity figures of the mixture reports.
#include <QString>

// The range of temperatures the vapour-pressure formula is made for, °C.
inline constexpr double DewPointLowestC = -100;
inline constexpr double DewPointHighestC = 100;

struct TDewPoint {
    bool Valid = false;
    double TemperatureC = 0;
    QString Status; // why there is no dew point; empty when Valid
};

// Of water at a partial pressure in hPa. Refused for a pressure not above 0 and for one
// outside the formula's range (below its value at -100 °C or above its value at 100 °C).
TDewPoint DewPointOfVapourPressure(double VapourPressure_hPa);

// Of a gas whose water mole fraction is WaterFraction at a total pressure in bar absolute.
TDewPoint DewPoint(double WaterFraction, double Pressure_BarA);
