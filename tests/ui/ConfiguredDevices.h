#pragma once
// Device records configured the way the configuration page applies them, for the page tests
// and the recipe fuzz target.
#include "core/GasTable.h"
#include "devices/DeviceInfo.h"

// A controller on port with gas gasID (-1: none), full scale in SCCM, both units ml/min at
// 25 °C and 1.01325 bar carrying the gas's molar mass.
inline TDeviceInfo ConfiguredController(const QString& port, int gasID, double fullScale_sccm = 50)
{
    TDeviceInfo device = MakeControllerRecord(dtMFCA, QStringLiteral("142001"), QStringLiteral("Gas ") + port,
                                              NamedColor::Red, fullScale_sccm);
    device.COMPort = port;
    device.FluidID = gasID;
    TGasItem gas;
    if (TryGetGas_ID(gasID, gas)) {
        device.FlowUnitDevice.GasMolarMass = gas.GetMolarMass();
        device.FlowUnitUser.GasMolarMass = gas.GetMolarMass();
    }
    return device;
}

// A humidifier pump dosing water with a syringe of syringe_ul (full scale 25 syringes a minute).
inline TDeviceInfo ConfiguredPump(const QString& port, double syringe_ul = 50)
{
    TDeviceInfo device;
    device.COMPort = port;
    device.DevType = dtPump;
    device.NameRole = QStringLiteral("Humidifier");
    device.FluidID = 1001;
    device.SyringeSizeuL = syringe_ul;
    device.MaxFlow_ulpm = 25 * syringe_ul;
    device.FlowUnitUser = DefaultUnitUlmin;
    device.FlowUnitDevice = DefaultUnitUlmin;
    return device;
}
