#pragma once
// Date-times as days since 1899-12-30 00:00 local time, with the time of day as the
// fraction (so 1.5 is 1899-12-31 12:00). Times in this program are differences of such
// values: one minute is 1/1440 day.
#include <QDateTime>

inline constexpr double MinutesPerDay = 1440.0;
inline constexpr double SecondsPerDay = 86400.0;

double DateTimeToDays(const QDateTime& moment);
QDateTime DaysToDateTime(double days);

// The current moment (through the clock seam) in days.
double NowDays();
