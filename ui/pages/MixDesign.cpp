#include "ui/pages/MixDesign.h"

#include "core/Errors.h"
#include "core/GasTable.h"
#include "core/MixtureReports.h"
#include "core/SegmentProgram.h"
#include "ui/pages/DeliveredFlow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The nearest whole number (halves to even) inside [low, high]; NaN gives low. Slider values
// come from typed numbers and program texts, so anything must land inside the range.
int RoundInto(double value, int low, int high)
{
    if (std::isnan(value))
        return low;
    return int(std::clamp(std::nearbyint(value), double(low), double(high)));
}

// Whole minutes of Time_min plus one, in slider steps.
int MaximumCovering(double Time_min)
{
    return RoundInto(std::floor(Time_min) * DesignerTimeSliderStepsPerMinute + DesignerTimeSliderStepsPerMinute, 0,
                     std::numeric_limits<int>::max());
}

} // namespace

QString DesignerRowPort(const QString& ControlName)
{
    const qsizetype underscore = ControlName.indexOf(u'_');
    return underscore < 0 ? QString() : ControlName.mid(underscore + 1);
}

QString DesignerRowCaption(const TDeviceInfo& Device)
{
    QString gasName;
    try {
        gasName = Device.Fluidname();
    } catch (const TessalyError&) {
        gasName = QStringLiteral("Unknown");
    }
    return Device.COMPort + QStringLiteral(" - ") + gasName + QStringLiteral(" - ") + Device.FlowUnitUser.Name;
}

std::optional<int> DesignerTimeMaximumForDuration(double Duration_min)
{
    if (Duration_min == 0)
        return std::nullopt;
    return MaximumCovering(Duration_min);
}

TDesignerTimeSlider DesignerTimeSliderForTypedTime(double Time_min, int Maximum)
{
    TDesignerTimeSlider slider;
    slider.Maximum = Time_min > double(Maximum) / DesignerTimeSliderStepsPerMinute ? MaximumCovering(Time_min) : Maximum;
    slider.Position = RoundInto(Time_min * DesignerTimeSliderStepsPerMinute, 0, slider.Maximum);
    return slider;
}

double DesignerTimeFromSlider(int Position) { return double(Position) / DesignerTimeSliderStepsPerMinute; }

TDesignerRowValues DesignerRowAt(const TDeviceInfo& Device, double Time_min)
{
    const double setpoint = SegmentAt(Device.SegmentProgram, Time_min).Setpoint;
    TDesignerRowValues values;
    values.SliderPosition = RoundInto(setpoint, 0, DesignerRowSliderMaximum);
    values.Flow = FullScaleInUserUnit(Device) * setpoint / 100;
    return values;
}

std::optional<int> DesignerSliderForFlow(double Flow, double FullScale, int SliderMaximum)
{
    if (!(FullScale > 0))
        return std::nullopt;
    return RoundInto(Flow / FullScale * SliderMaximum, 0, SliderMaximum);
}

double DesignerFlowForSlider(int Position, int SliderMaximum, double FullScale)
{
    return SliderMaximum > 0 ? FullScale * Position / SliderMaximum : 0;
}

double DesignerSnapSmallFlow(double Flow, double Maximum)
{
    if (Flow > 0 && Flow < Maximum / 10000)
        return Flow < Maximum / 20000 ? 0 : Maximum / 10000;
    return Flow;
}

std::optional<TDesignerRowGas> DesignerRowGas(const TDesignerRow& Row)
{
    TDesignerRowGas row;
    if (!GetDeviceByPort(Row.Port, row.Device))
        return std::nullopt;
    const TDeviceInfo& device = row.Device;
    row.HasGas = TryGetGas_ID(device.FluidID, row.Gas);
    if (!row.HasGas)
        return row;
    const double userFullScale = FullScaleInUserUnit(device);
    const double fraction = userFullScale > 0 ? Row.Flow / userFullScale : 0;
    row.Gas.MassFlow_gmin = device.DevType == dtPump ? PumpMassFlow_gmin(device, fraction * 100)
                                                     : device.FlowUnitDevice.GasFlowMaxGrams() * fraction;
    row.Distributed = row.Gas.DistributeMassFlow();
    return row;
}

TDesignerMix DesignerMix(const std::vector<TDesignerRow>& Rows, const TReportConditions& ExtraConditions)
{
    TDesignerMix result;
    if (Rows.empty()) {
        result.LogLines << QStringLiteral("Exit: FlowPanelControls.ControlCount: 0 ");
        return result;
    }
    result.Shown = true;

    TGasItem mixture;
    mixture.Init();
    QStringList notes;
    for (const TDesignerRow& row : Rows) {
        std::optional<TDesignerRowGas> gas = DesignerRowGas(row);
        if (!gas)
            continue;
        result.LogLines << QStringLiteral("Handle") + row.Port;
        // A device without a gas has no molar mass: it would spoil the fractions of all others.
        if (!gas->HasGas) {
            notes << gas->Device.COMPort + QStringLiteral(" has no configured gas and is left out of the mixture.");
            continue;
        }
        if (!gas->Distributed)
            result.Text += QStringLiteral("Unable to PopulateComponentMasses (Element without molar mass, or sum of "
                                          "partial pressures is zero.")
                           + CRLF;
        mixture.Components.push_back(std::move(gas->Gas));
    }
    for (const QString& note : notes)
        result.Text += note + CRLF;

    TGasItem flat = mixture.Flatten();
    result.Text += QStringLiteral(" *************************** ") + CRLF;
    // Without any mass flow there are no fractions; the flattened record would show the
    // components' partial pressures summed up, which no mixture has.
    if (!flat.MassFlowsToFractions()) {
        result.Text += QStringLiteral("No mass flow at these settings: the mixture has no composition.") + CRLF;
        return result;
    }
    result.Text += MixtureDetails(flat);
    if (flat.GetHasFluid()) {
        TReportConditions conditions = MixtureReportConditions;
        conditions.insert(conditions.end(), ExtraConditions.begin(), ExtraConditions.end());
        result.Text += CRLF + QStringLiteral("  Mixture has fluid:") + CRLF + HumidityReport(flat, conditions);
    }
    return result;
}
