#pragma once
// The mix designer's workings: which mixture the selected devices make together at the flows
// their rows show, where those rows stand at a moment of the segment programs, and the
// number rules of the time slider and the row controls. The designer page owns the widgets
// and passes their values here.
//
// A device row is a slider (0 to 100, percent of full scale) named
// DesignerRowSliderPrefix + port and a number box (the flow in the operator's unit, maximum
// the full scale in that unit) named DesignerRowFlowPrefix + port. The time slider counts
// tenths of a minute.
#include "core/MixtureReports.h"
#include "devices/DeviceInfo.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

inline const QString DesignerRowSliderPrefix = QStringLiteral("TrackBarDesignerDynamic_");
inline const QString DesignerRowFlowPrefix = QStringLiteral("DoubleEditDynamic_");
inline constexpr int DesignerRowSliderMaximum = 100;
inline constexpr int DesignerTimeSliderStepsPerMinute = 10;

// The port in a row control's name: the text after the first underscore.
QString DesignerRowPort(const QString& ControlName);

// "COM6 - N2 - ml/min": port, gas name, the operator's unit.
QString DesignerRowCaption(const TDeviceInfo& Device);

// The time slider's maximum after a rebuild of the rows, for the longest program of the
// selected devices: whole minutes plus one, in tenths. None for a duration of 0 (the slider
// keeps its range).
std::optional<int> DesignerTimeMaximumForDuration(double Duration_min);

struct TDesignerTimeSlider {
    int Maximum = 0;
    int Position = 0;
};

// The time slider for a typed time: the maximum grows to cover a time beyond it (whole
// minutes plus one); the position is the time in tenths, to the nearest (halves to even).
TDesignerTimeSlider DesignerTimeSliderForTypedTime(double Time_min, int Maximum);

// The time a slider position stands for.
double DesignerTimeFromSlider(int Position);

struct TDesignerRowValues {
    int SliderPosition = 0; // percent of full scale, to the nearest (halves to even)
    double Flow = 0;        // in the operator's unit
};

// Where a device's row stands Time_min minutes into its segment program.
TDesignerRowValues DesignerRowAt(const TDeviceInfo& Device, double Time_min);

// A typed row flow moves the row slider; none when the full scale is not above 0.
std::optional<int> DesignerSliderForFlow(double Flow, double FullScale, int SliderMaximum);
// A moved row slider sets the row flow.
double DesignerFlowForSlider(int Position, int SliderMaximum, double FullScale);

// A typed row flow below a ten-thousandth of the box's maximum snaps to 0 or to that
// ten-thousandth, whichever is nearer.
double DesignerSnapSmallFlow(double Flow, double Maximum);

// A row as the page shows it: the device's port and its row flow in the operator's unit.
struct TDesignerRow {
    QString Port;
    double Flow = 0;
};

// What a row's device delivers at the row's flow: its gas with the mass flow spread over its
// components.
struct TDesignerRowGas {
    TDeviceInfo Device;
    bool HasGas = false;      // false: the device has no configured gas; Gas is not set
    bool Distributed = false; // false: the gas has a component without molar mass
    TGasItem Gas;
};

// None for a port without a device.
std::optional<TDesignerRowGas> DesignerRowGas(const TDesignerRow& Row);

struct TDesignerMix {
    bool Shown = false; // false: leave the report area as it is
    QString Text;       // the report area's new text
    QStringList LogLines; // for the window's diagnostic log
};

// The mixture of the rows: each device's gas at its full scale in g/min times the fraction
// of full scale its row shows; the same gas from several devices is merged. Rows of unknown
// ports are skipped; a device without a configured gas is left out and named in the report.
// A mixture with water ends with its humidity at the mixture pages' conditions and then at
// ExtraConditions. Pass no rows when no device is selected.
TDesignerMix DesignerMix(const std::vector<TDesignerRow>& Rows, const TReportConditions& ExtraConditions = {});
