// The flow chart over a week-long run: five devices, one point a second each (about three
// million points). Measures a rebuild of the reduced view of the whole week, a full redraw
// (rebuild and paint) of the week and of a zoomed hour, and the cost of adding points at the
// end of the run. The counter bytes_per_point_rss is the resident memory the stored points took.
#include "ui/FlowChart.h"

#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int Devices = 5;
constexpr int PointsPerDevice = 7 * 24 * 3600;

// Resident memory of the process in bytes.
double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * 4096;
}

struct WeekChart {
    FlowChart chart;
    SeriesId series[Devices];
    double bytesPerPoint = 0;

    WeekChart()
    {
        chart.resize(1600, 300);
        chart.show();
        QApplication::processEvents();
        const QColor colors[Devices] = {Qt::red, Qt::blue, Qt::darkGreen, Qt::magenta, Qt::darkCyan};
        const double before = ResidentBytes();
        for (int d = 0; d < Devices; ++d) {
            series[d] = chart.AddSeries(FlowSeriesStyle(colors[d], TPointSymbol(d)));
            for (int i = 0; i < PointsPerDevice; ++i) {
                const double minutes = i / 60.0;
                const double flow = 20 + 10 * d + 5 * std::sin(minutes / 30 + d) + (i % 7) * 0.3;
                chart.AddPoint(series[d], minutes, flow);
            }
        }
        bytesPerPoint = (ResidentBytes() - before) / (double(Devices) * PointsPerDevice);
        chart.Redraw();
        QApplication::processEvents();
    }

    // Paints the chart as the window would after a rebuild.
    void Paint(QImage& target)
    {
        QPainter painter(&target);
        chart.findChild<QChartView*>()->render(&painter);
    }
};

WeekChart& Week()
{
    static WeekChart week;
    return week;
}

void BM_RebuildWeek(benchmark::State& state)
{
    WeekChart& week = Week();
    week.chart.ResetZoom();
    for (auto _ : state)
        week.chart.Redraw();
    state.counters["points"] = double(Devices) * PointsPerDevice;
    state.counters["bytes_per_point_rss"] = week.bytesPerPoint;
}
BENCHMARK(BM_RebuildWeek)->Unit(benchmark::kMillisecond);

void BM_RedrawWeek(benchmark::State& state)
{
    WeekChart& week = Week();
    week.chart.ResetZoom();
    QImage target(week.chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        week.chart.Redraw();
        week.Paint(target);
    }
}
BENCHMARK(BM_RedrawWeek)->Unit(benchmark::kMillisecond);

void BM_RedrawZoomedHour(benchmark::State& state)
{
    WeekChart& week = Week();
    week.chart.ResetZoom();
    const double middle = PointsPerDevice / 120.0;
    week.chart.ZoomTo({middle, middle + 60, 0, 100});
    QImage target(week.chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        week.chart.Redraw();
        week.Paint(target);
    }
    week.chart.ResetZoom();
}
BENCHMARK(BM_RedrawZoomedHour)->Unit(benchmark::kMillisecond);

// Points added to a device's series at the end of a week-long run, an hour (3600 points) per
// iteration; the series is refilled to a week, untimed, once it has grown by a day.
void BM_AddPointAtWeekEnd(benchmark::State& state)
{
    FlowChart chart;
    const SeriesId series = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    constexpr int Hour = 3600;
    const auto refill = [&] {
        chart.ClearSeries(series);
        for (int i = 0; i < PointsPerDevice; ++i)
            chart.AddPoint(series, i / 60.0, 50);
    };
    refill();
    int added = 0;
    for (auto _ : state) {
        if (added >= 24 * Hour) {
            state.PauseTiming();
            refill();
            added = 0;
            state.ResumeTiming();
        }
        const double start = (PointsPerDevice + added) / 60.0;
        for (int i = 0; i < Hour; ++i)
            chart.AddPoint(series, start + i / 60.0, 50);
        added += Hour;
    }
    state.SetItemsProcessed(state.iterations() * Hour);
}
BENCHMARK(BM_AddPointAtWeekEnd)->Unit(benchmark::kMicrosecond);

} // namespace
