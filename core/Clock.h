#pragma once
// "Now" as a seam: the program reads the system clock; tests and accelerated soak runs
// install a source of their own. Read from any thread.
#include <QDateTime>

using ClockSource = QDateTime (*)();

QDateTime ClockNow();
// Installs a clock source (nullptr restores the system clock); returns the previous one.
ClockSource SetClockSource(ClockSource source);

// Durations are measured on a steady clock, in milliseconds from an arbitrary origin: the
// local wall clock can be set back or jump an hour at a daylight-saving change, and a
// difference of its readings would then run backwards. While a clock source is installed and
// no steady source, the steady clock follows that source (as milliseconds since the epoch,
// which a daylight-saving change does not move), so a test's or a soak run's clock drives
// durations too.
using SteadySource = qint64 (*)();

qint64 SteadyNowMs();
// Installs a steady source (nullptr restores the default above); returns the previous one.
SteadySource SetSteadySource(SteadySource source);
