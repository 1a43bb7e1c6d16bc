#pragma once
// The workings of the configuration page: the page's controls into a device record and back
// (DeviceDetailsUI), the Apply button that stores a configuration and starts the device's
// worker, and the colour code beside the colour picker. The page owns the widgets and passes
// their values here as plain records.
#include "devices/DeviceInfo.h"
#include "ui/pages/DevicePagesWindow.h"

#include <QString>
#include <functional>
#include <optional>

// The values of the configuration page's controls (and of the direct control setpoint box).
struct TConfigureValues {
    QString Name;                   // EditDeviceName
    QRgb Color = 0;                 // RtColorPickComboDeviceColor
    std::optional<int> GasID;       // ComboBoxDeviceFluid: number of the chosen gas; none for no line or the header
    std::optional<int> PumpFluidID; // ComboBoxDeviceFluidPump: likewise
    QString UnitName;               // EditFlowUnitName
    double Temperature = 20;        // EditFlowUnitTemperatureC
    double Pressure_BarA = 1.01325; // EditFlowUnitPressureBar
    int PredefinedLine = -1;        // chosen line of ComboBoxFlowUnitPredefined; -1 none
    double FluidTemperatureC = -273.15;
    double SyringeSize_uL = 12500;
    double DirectSetpoint = 0; // RtDoubleEditDirectControlDesiredFlow
};

// The syringes the pump takes, in microlitres.
bool IsValidSyringeSize(double Size_uL);

// DeviceDetailsUI with tdCODE: copies the controls into aDevInfo. A syringe size that is not
// one of the pump's sizes shows "Invalid syring volume, value ignored" and keeps the syringe
// size and maximum flow; the other fields are copied all the same. Returns true when the
// record is complete and is to be written back, false after the syringe message. A gas
// number that the gas table does not hold throws TessalyError before aDevInfo changes.
bool DeviceDetailsCode(const TConfigureValues& Controls, TDeviceInfo& aDevInfo,
                       const std::function<void(const QString&)>& MM);

// DeviceDetailsUI with tdGUI for the configuration page: what the pump details show (the
// "Pump details" group and the pump fluid list shown, the "Flow unit" group and the gas list
// hidden) ...
struct TPumpDetailsView {
    double FluidTemperatureC = 0;
    double SyringeSize_uL = 0;
    double SegmentMaxFlow = 0; // the Design segments page's maximum-flow box
    QString SegmentFlowUnit;   // and its flow-unit label
    int FluidLine = -1;        // line of FluidListRows() to select; -1 none
};

// ... or, for a controller, what the flow unit shows (the reverse groups and lists shown).
// The window then calls the flow displays (FlowDisplaysFor).
struct TFlowUnitView {
    bool ConditionBoxesVisible = true; // temperature and pressure boxes and their two labels
    QString UnitName;
    double Temperature = 0;
    double Pressure_BarA = 0;
    int GasLine = -1; // line of GasListRows() to select; -1 none
};

struct TDeviceDetailsView {
    QString SelectedDeviceLabel; // LabelSelectedDeviceNameRole of the Design segments page
    QString DeviceType;          // EditDeviceType
    QString Name;                // EditDeviceName
    QRgb Color = 0;
    // The direct control setpoint box. Set it without running its change reaction, which
    // would store the value in the focused device, which need not be this one.
    double DirectSetpoint = 0;
    std::optional<TPumpDetailsView> Pump;     // for a pump
    std::optional<TFlowUnitView> FlowUnit;    // for every other type
};

TDeviceDetailsView DeviceDetailsView(const TDeviceInfo& aDevInfo);

// The values the configuration page's controls hold once it shows aDevInfo (and the direct
// control box its typed setpoint): what Apply would copy in with nothing changed. The controls
// of the other device type keep their start values.
TConfigureValues ConfigureValuesOf(const TDeviceInfo& aDevInfo);

// ButtonApplyConfigurationClick for the focused device (none: nothing happens). Refuses a
// missing gas or fluid choice with "No fluid selected for MFC" / "No fluid selected for Pump"
// before anything changes; otherwise copies the controls in, starts the device's worker and
// gives it an LED the first time, colours the LED, sets the device idle and stores it. Then
// shows it again, has the designer rebuild and the data table write a new header.
void ApplyConfiguration(const std::optional<TDeviceInfo>& Focused, const TConfigureValues& Controls,
                        TDevicePagesWindow& Window);

// LabelDeviceColor: blue × 65536 + green × 256 + red, zero-filled to eight digits.
QString ColorCodeText(QRgb Color);
