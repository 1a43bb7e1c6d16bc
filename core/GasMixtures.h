#pragma once
// Quantities of the mixture computations. All flows are per minute.

// Molar gas constant of the mixture computations, L·bar/(K·mol).
inline constexpr long double MixtureGasConstantR = 0.0831446261815324L;
// Normal conditions of "mln" (normal millilitres).
inline constexpr double NormalKelvin = 273.15;
inline constexpr double NormalPressure_BarA = 1.01325;

// Saturation vapour pressure of water in hPa (Huang): over liquid water above 0 °C, over ice
// at and below.
double WaterVapourPressure(double TemperatureC);

// -1 when the pressure is not above 0.
double MillilitresFromMoles(double Moles, double TemperatureC, double Pressure_BarA);
