#include "ui/pages/DeviceConfiguration.h"

#include "core/GasTable.h"
#include "core/UserMessages.h"
#include "ui/pages/ReferenceConditions.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array<double, 12> SyringeSizes_uL = {12.5, 25, 50, 100, 125, 250, 500, 1000, 1250, 2500, 5000, 12500};

// The pump doses at most 25 syringe volumes a minute.
constexpr double StrokesPerMinute = 25;

// The gas (fluid) numbers of the lines of a drop-down list; the header line has none.
std::vector<std::optional<int>> LineNumbers(const std::vector<TGasListRow>& rows)
{
    std::vector<std::optional<int>> numbers;
    numbers.reserve(rows.size());
    for (const TGasListRow& row : rows)
        numbers.push_back(row.GasID);
    return numbers;
}

// Line carrying Number; -1 when none does.
int LineOf(const std::vector<std::optional<int>>& numbers, int Number)
{
    const auto found = std::find(numbers.begin(), numbers.end(), std::optional<int>(Number));
    return found == numbers.end() ? -1 : int(found - numbers.begin());
}

// The gas list: -1 (unconfigured) selects the header; 0 is Air, a gas like any other.
int GasLineFor(int FluidID)
{
    static const std::vector<std::optional<int>> numbers = LineNumbers(GasListRows());
    return FluidID == -1 ? 0 : LineOf(numbers, FluidID);
}

// The pump's fluid list: -1 and 0 both mean "no fluid yet" and select the header.
int PumpFluidLineFor(int FluidID)
{
    static const std::vector<std::optional<int>> numbers = LineNumbers(FluidListRows());
    return FluidID == -1 || FluidID == 0 ? 0 : LineOf(numbers, FluidID);
}

QString InstrumentAndType(tDeviceType type) { return DeviceInstrumentName(type) + u' ' + DeviceTypeName(type); }

} // namespace

bool IsValidSyringeSize(double Size_uL)
{
    return std::find(SyringeSizes_uL.begin(), SyringeSizes_uL.end(), Size_uL) != SyringeSizes_uL.end();
}

bool DeviceDetailsCode(const TConfigureValues& Controls, TDeviceInfo& aDevInfo,
                       const std::function<void(const QString&)>& MM)
{
    TDeviceInfo device = aDevInfo;
    if (device.DevType == dtPump) {
        if (Controls.PumpFluidID)
            device.FluidID = *Controls.PumpFluidID;
        device.FlowUnitUser.GasMolarMass = 10;
        // The data table and the flow logs name the fluid by the unit's gas name.
        if (TGasItem fluid; TryGetGas_ID(device.FluidID, fluid))
            device.FlowUnitUser.GasName = fluid.NameShort;
        MM(QStringLiteral("Selected G(fluid)ID:") + QString::number(device.FluidID));
    } else {
        if (Controls.GasID)
            device.FluidID = *Controls.GasID;
        TGasItem gas;
        GetGas_ID(device.FluidID, gas);
        const double molarMass = gas.GetMolarMass();
        device.FlowUnitUser.GasMolarMass = molarMass;
        device.FlowUnitDevice.GasMolarMass = molarMass;
        // The units start out named for Air; the data table and the flow logs show this name.
        device.FlowUnitUser.GasName = gas.NameShort;
        device.FlowUnitDevice.GasName = gas.NameShort;
        device.FlowUnitUser.Name = Controls.UnitName;
        device.FlowUnitUser.Temperature = Controls.Temperature;
        device.FlowUnitUser.Pressure_BarA = Controls.Pressure_BarA;
        // The flow type follows the list choice only: a hand-typed "g/min" stays volumetric.
        device.FlowUnitUser.GasFlowType =
            Controls.PredefinedLine == ReferenceConditionGramsLine ? gfuGrams : gfuVolumetric;
    }
    device.NameRole = Controls.Name;
    device.Color = Controls.Color;
    device.FluidTemperatureC = Controls.FluidTemperatureC;
    device.Setpoint_gui = Controls.DirectSetpoint;
    const bool syringeValid = IsValidSyringeSize(Controls.SyringeSize_uL);
    if (syringeValid) {
        device.SyringeSizeuL = Controls.SyringeSize_uL;
        device.MaxFlow_ulpm = StrokesPerMinute * Controls.SyringeSize_uL;
    } else {
        ShowMessage(QStringLiteral("Invalid syring volume, value ignored"));
    }
    aDevInfo = device;
    return syringeValid;
}

TDeviceDetailsView DeviceDetailsView(const TDeviceInfo& aDevInfo)
{
    TDeviceDetailsView view;
    view.SelectedDeviceLabel = aDevInfo.NameRole + u' ' + InstrumentAndType(aDevInfo.DevType);
    view.DeviceType = InstrumentAndType(aDevInfo.DevType);
    view.Name = aDevInfo.NameRole;
    view.Color = aDevInfo.Color;
    view.DirectSetpoint = aDevInfo.Setpoint_gui;
    if (aDevInfo.DevType == dtPump) {
        TPumpDetailsView pump;
        pump.FluidTemperatureC = aDevInfo.FluidTemperatureC;
        pump.SyringeSize_uL = aDevInfo.SyringeSizeuL;
        pump.SegmentMaxFlow = aDevInfo.MaxFlow_ulpm;
        pump.SegmentFlowUnit = QStringLiteral("\u00B5l/min");
        pump.FluidLine = PumpFluidLineFor(aDevInfo.FluidID);
        view.Pump = pump;
    } else {
        const TGasFlowDetails& unit = aDevInfo.FlowUnitUser;
        TFlowUnitView flowUnit;
        flowUnit.ConditionBoxesVisible = unit.GasFlowType != gfuGrams;
        flowUnit.UnitName = unit.Name;
        flowUnit.Temperature = unit.Temperature;
        flowUnit.Pressure_BarA = unit.Pressure_BarA;
        flowUnit.GasLine = GasLineFor(aDevInfo.FluidID);
        view.FlowUnit = flowUnit;
    }
    return view;
}

TConfigureValues ConfigureValuesOf(const TDeviceInfo& aDevInfo)
{
    const TDeviceDetailsView view = DeviceDetailsView(aDevInfo);
    const auto numberOnLine = [](const std::vector<TGasListRow>& rows, int line) -> std::optional<int> {
        return line > 0 && line < int(rows.size()) ? rows[std::size_t(line)].GasID : std::nullopt;
    };
    TConfigureValues values;
    values.Name = view.Name;
    values.Color = view.Color;
    values.DirectSetpoint = view.DirectSetpoint;
    if (view.Pump) {
        values.PumpFluidID = numberOnLine(FluidListRows(), view.Pump->FluidLine);
        values.FluidTemperatureC = view.Pump->FluidTemperatureC;
        // The syringe box holds no size outside those the pump takes (a found pump has none yet).
        values.SyringeSize_uL = std::clamp(view.Pump->SyringeSize_uL, SyringeSizes_uL.front(), SyringeSizes_uL.back());
    } else {
        values.GasID = numberOnLine(GasListRows(), view.FlowUnit->GasLine);
        values.UnitName = view.FlowUnit->UnitName;
        values.Temperature = view.FlowUnit->Temperature;
        values.Pressure_BarA = view.FlowUnit->Pressure_BarA;
        values.PredefinedLine = view.FlowUnit->ConditionBoxesVisible ? 0 : ReferenceConditionGramsLine;
    }
    return values;
}

void ApplyConfiguration(const std::optional<TDeviceInfo>& Focused, const TConfigureValues& Controls,
                        TDevicePagesWindow& Window)
{
    if (!Focused)
        return;
    TDeviceInfo device = *Focused;
    if (device.DevType == dtPump ? !Controls.PumpFluidID : !Controls.GasID) {
        ShowMessage(device.DevType == dtPump ? QStringLiteral("No fluid selected for Pump")
                                             : QStringLiteral("No fluid selected for MFC"));
        return;
    }
    if (DeviceDetailsCode(Controls, device, [&Window](const QString& line) { Window.MM(line); }))
        SetDeviceByPort(device);
    // A worker started for a record that cannot be stored would run on with nobody to stop it.
    if (IndexOfDevicePort(device.COMPort) < 0) {
        ShowMessage(QStringLiteral("Saving device configuration failed"));
        return;
    }
    // A pump is prepared before its worker runs, and the window does not answer meanwhile.
    const bool pumpStartUp = device.DevType == dtPump && !device.ThreadPump && !device.ThreadMFC;
    if (pumpStartUp)
        Window.ShowWorkerStartUp(QStringLiteral("Starting pump on ") + device.COMPort + QStringLiteral(", up to ")
                                 + QString::number(PumpStartLimit_s) + QStringLiteral(" s"));
    const bool started = device.StartThread();
    if (pumpStartUp)
        Window.ShowWorkerStartUp(QString());
    if (started)
        device.Led = Window.AddLedForThread();
    if (device.Led)
        Window.SetDeviceLedColor(*device.Led, device.Color | 0xFF000000u);
    device.ControlMode = dcmIdle;
    if (!SetDeviceByPort(device)) {
        ShowMessage(QStringLiteral("Saving device configuration failed"));
        return;
    }
    Window.ShowDeviceDetails(device);
    Window.MixMakerComponentSetup();
    Window.SetDataTableHeaderDue();
}

QString ColorCodeText(QRgb Color)
{
    const long code = long(qBlue(Color)) * 65536 + long(qGreen(Color)) * 256 + long(qRed(Color));
    return QString::asprintf("%08ld", code);
}
