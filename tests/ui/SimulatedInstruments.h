#pragma once
// Window tests against the instrument simulators: short transport and pump timings, and a
// device search that sees only the simulators' ports.
#include "FastInstruments.h"
#include "devices/PortList.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"

#include <QStringList>
#include <memory>

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

// A simulated controller of 500 SCCM (as the known-device table has it) and a simulated pump,
// each on a pseudo-terminal of its own, at a fast time scale.
struct SimulatedControllerAndPump {
    static ControllerSimulatorOptions ControllerOptions()
    {
        ControllerSimulatorOptions options;
        options.FullScale = 500;
        options.TimeScale = 0.01;
        return options;
    }
    static PumpSimulatorOptions PumpOptions()
    {
        PumpSimulatorOptions options;
        options.TimeScale = 0.01;
        return options;
    }

    bool IsOpen() const { return ControllerHost.IsOpen() && PumpHost.IsOpen(); }

    const std::shared_ptr<ControllerSimulator> Controller = std::make_shared<ControllerSimulator>(ControllerOptions());
    const std::shared_ptr<PumpSimulator> Pump = std::make_shared<PumpSimulator>(PumpOptions());
    SimulatorHost ControllerHost{Controller};
    SimulatorHost PumpHost{Pump};
};
