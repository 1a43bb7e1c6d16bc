#pragma once
// The serial ports the device search walks: those the system lists, then any that were added
// here (the simulators' pseudo-terminals in tests and training set-ups).
#include <QStringList>

QStringList SearchPorts();
void AddSearchPort(const QString& port);
void ClearAddedSearchPorts();
// Leaves out the system's own ports, so a search sees only the added ones (tests).
void SetSystemPortsIncluded(bool included);
