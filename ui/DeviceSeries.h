#pragma once
// The chart series of the devices: per device a requested-flow series (its segment program)
// and an achieved-flow series (one point per engine tick). The device record refers to them
// through devices' TChartSeries; here each is the chart's series id, owned by this object for
// the life of the chart. Series are created on first use and only ever emptied.
#include "devices/DeviceInfo.h"
#include "ui/FlowChart.h"

#include <QStringList>
#include <memory>
#include <vector>

class DeviceChartSeries : public TChartSeries {
public:
    explicit DeviceChartSeries(SeriesId id) : Id(id) {}

    const SeriesId Id;
    // The device look last applied, so a tick re-styles the series only when it changed.
    QRgb Color = 0;
    TPointSymbol Symbol = TPointSymbol::Circle;
};

class DeviceSeries {
public:
    explicit DeviceSeries(FlowChart& chart);

    // Adds (X minutes, Y percent) to the device's achieved-flow series, or empties it with
    // Clear; nothing for an idle device. The series is created when the device has none, and
    // the device is written back whole (SetDeviceByPort); aDevice gets the series too, so a
    // caller that writes its copy back later keeps it.
    void FlowSerie(TDeviceInfo& aDevice, double X, double Y, bool Clear);
    // Redraws the device's requested-flow series from its segment program: steps as a level
    // line and a jump, ramps as straight lines, and a last stretch when the program keeps its
    // last flow. Written back like FlowSerie. Clear has no effect.
    void SegmentSerie(TDeviceInfo& aDevice, bool Clear);

    // Empties a series of a device record (nothing for none).
    void ClearSeries(const TChartSeries* series);
    // With RemoveData, empties both series of every device of the given ports.
    void ClearGraph(bool RemoveData, const QStringList& ports);

    void SetSegmentSeriesVisible(bool visible);
    void SetFlowSeriesVisible(bool visible);

    // The chart's id of a device record's series; NoSeries for none.
    static SeriesId IdOf(const TChartSeries* series);

    // The symbol of a device type: circle, square, star, triangle for MFC-A to MFC-D, diamond
    // for the pump, the series' default (circle) for the demo controller.
    static TPointSymbol SymbolOf(tDeviceType type);

private:
    enum class TKind { Segment, Flow };

    // The device's series of the kind, created when neither the copy nor the stored record
    // has one, and styled with the device's colour and symbol.
    DeviceChartSeries& SeriesFor(TDeviceInfo& device, TKind kind);

    FlowChart& fChart;
    std::vector<std::unique_ptr<DeviceChartSeries>> fSegmentSeries;
    std::vector<std::unique_ptr<DeviceChartSeries>> fFlowSeries;
};
