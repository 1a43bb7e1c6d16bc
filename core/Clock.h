#pragma once
// "Now" as a seam: the program reads the system clock; tests and accelerated soak runs
// install a source of their own. Read from any thread.
#include <QDateTime>

using ClockSource = QDateTime (*)();

QDateTime ClockNow();
// Installs a clock source (nullptr restores the system clock); returns the previous one.
ClockSource SetClockSource(ClockSource source);
