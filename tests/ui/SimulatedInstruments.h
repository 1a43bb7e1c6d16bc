#pragma once
// Window tests against the instrument simulators: short transport and pump timings, and a
// device search that sees only the simulators' ports.
#include "FastInstruments.h"
#include "devices/PortList.h"

#include <QStringList>

// The device search sees only the given ports while this lives.
class SearchOnly {
public:
    explicit SearchOnly(const QStringList& ports)
    {
        SetSystemPortsIncluded(false);
        for (const QString& port : ports)
            AddSearchPort(port);
    }
    ~SearchOnly()
    {
        ClearAddedSearchPorts();
        SetSystemPortsIncluded(true);
    }
    SearchOnly(const SearchOnly&) = delete;
    SearchOnly& operator=(const SearchOnly&) = delete;
};
