#pragma once
// What tells this run of the program from every other: the moment it started, to the second,
// and its process id, as "140307-4711". The files a run writes carry it, so that no run gives a
// file the name of another run's file, and an operator finds the files of one run together.
#include <QDateTime>
#include <QString>

// Taken once, at the first call.
QString RunMark();
QDateTime RunStarted();
