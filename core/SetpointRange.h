#pragma once
// Every setpoint an instrument is sent lies in 0 … 100 % of its full scale, whatever a
// segment program, a recipe or a caller computed: a ramp evaluated before its start or a
// typing slip must never reach a controller as a negative or an over-range count.
#include <QString>

inline constexpr double SetpointMin_pct = 0;
inline constexpr double SetpointMax_pct = 100;

// The setpoint brought into 0 … 100 %. Not-a-number has no nearest setpoint and gives 0, the
// setpoint at which nothing flows.
double SetpointInRange_pct(double requested);

// "Setpoint -40% is outside 0 … 100 %, sending 0%": the log line for a setpoint brought into
// range; empty when the requested setpoint was in range.
QString SetpointRangeNote(double requested);
