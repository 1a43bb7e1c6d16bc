#include "ui/DeviceSeries.h"

#include "ui/SegmentSerie.h"

#include <QColor>

DeviceSeries::DeviceSeries(FlowChart& chart)
    : fChart(chart)
{
}

TPointSymbol DeviceSeries::SymbolOf(tDeviceType type)
{
    return SegmentSerieSymbol(type).value_or(TPointSymbol::Circle);
}

SeriesId DeviceSeries::IdOf(const TChartSeries* series)
{
    const auto* own = dynamic_cast<const DeviceChartSeries*>(series);
    return own ? own->Id : NoSeries;
}

DeviceChartSeries& DeviceSeries::SeriesFor(TDeviceInfo& device, TKind kind)
{
    TChartSeries*& slot = kind == TKind::Flow ? device.SerieFlow : device.SerieSegment;
    if (!dynamic_cast<DeviceChartSeries*>(slot)) {
        TDeviceInfo stored;
        const bool found = GetDeviceByPort(device.COMPort, stored);
        slot = found ? (kind == TKind::Flow ? stored.SerieFlow : stored.SerieSegment) : nullptr;
    }
    auto* series = dynamic_cast<DeviceChartSeries*>(slot);
    const QColor color = QColor::fromRgba(device.Color);
    const TPointSymbol symbol = SymbolOf(device.DevType);
    const auto style = [&] {
        return kind == TKind::Flow ? FlowSeriesStyle(color, symbol) : SegmentSeriesStyle(color, symbol);
    };
    if (!series) {
        auto& list = kind == TKind::Flow ? fFlowSeries : fSegmentSeries;
        list.push_back(std::make_unique<DeviceChartSeries>(fChart.AddSeries(style())));
        series = list.back().get();
        series->Color = device.Color;
        series->Symbol = symbol;
        slot = series;
    } else if (series->Color != device.Color || series->Symbol != symbol) {
        TSeriesStyle restyled = style();
        restyled.Visible = fChart.SeriesStyle(series->Id).Visible;
        fChart.SetSeriesStyle(series->Id, restyled);
        series->Color = device.Color;
        series->Symbol = symbol;
    }
    return *series;
}

void DeviceSeries::FlowSerie(TDeviceInfo& aDevice, double X, double Y, bool Clear)
{
    if (aDevice.ControlMode == dcmIdle)
        return;
    TDeviceInfo device = aDevice;
    const DeviceChartSeries& series = SeriesFor(device, TKind::Flow);
    if (Clear)
        fChart.ClearSeries(series.Id);
    else
        fChart.AddPoint(series.Id, X, Y);
    aDevice.SerieFlow = device.SerieFlow;
    SetDeviceByPort(device);
}

void DeviceSeries::SegmentSerie(TDeviceInfo& aDevice, bool)
{
    TDeviceInfo device = aDevice;
    const SeriesId id = SeriesFor(device, TKind::Segment).Id;
    fChart.ClearSeries(id);
    for (const QPointF& point : SegmentSeriePoints(device.SegmentProgram, device.SegmentProgramTermination))
        fChart.AddPoint(id, point.x(), point.y());
    aDevice.SerieSegment = device.SerieSegment;
    SetDeviceByPort(device);
}

void DeviceSeries::ClearSeries(const TChartSeries* series)
{
    const SeriesId id = IdOf(series);
    if (id != NoSeries)
        fChart.ClearSeries(id);
}

void DeviceSeries::ClearGraph(bool RemoveData, const QStringList& ports)
{
    if (!RemoveData)
        return;
    for (const QString& port : ports) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device))
            continue;
        ClearSeries(device.SerieSegment);
        ClearSeries(device.SerieFlow);
    }
}

void DeviceSeries::SetSegmentSeriesVisible(bool visible)
{
    for (const auto& series : fSegmentSeries)
        fChart.SetSeriesVisible(series->Id, visible);
}

void DeviceSeries::SetFlowSeriesVisible(bool visible)
{
    for (const auto& series : fFlowSeries)
        fChart.SetSeriesVisible(series->Id, visible);
}
