#include "ui/FlowChart.h"

#include "ui/DeviceSeries.h"

#include <QApplication>
#include <QChartView>
#include <QLineSeries>
#include <QScrollBar>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {

// Processes events until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

void Drag(QWidget* target, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Mouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
    Mouse(target, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, modifiers);
    Mouse(target, QEvent::MouseMove, to, Qt::LeftButton, modifiers);
    Mouse(target, QEvent::MouseButtonRelease, to, Qt::NoButton, modifiers);
}

void Click(QWidget* target, QPoint at)
{
    Mouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(target, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void DoubleClick(QWidget* target, QPoint at)
{
    Click(target, at);
    Mouse(target, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    Mouse(target, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

class FlowChartTest : public ::testing::Test {
protected:
    FlowChartTest()
    {
        chart.resize(800, 300);
        chart.show();
        QApplication::processEvents();
    }

    QChartView* ChartView() const { return chart.findChild<QChartView*>(); }
    // The chart's line for a series: the lines stand in the chart in the order the series were
    // made, the time highlight first.
    QLineSeries* Line(SeriesId id) const { return qobject_cast<QLineSeries*>(ChartView()->chart()->series().at(id)); }
    QList<QPointF> Drawn(SeriesId id) const { return Line(id)->points(); }
    QValueAxis* TimeAxis() const
    {
        return qobject_cast<QValueAxis*>(ChartView()->chart()->axes(Qt::Horizontal).first());
    }
    QScrollBar* Bar(Qt::Orientation orientation) const
    {
        for (QScrollBar* bar : chart.findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
            if (bar->orientation() == orientation)
                return bar;
        return nullptr;
    }
    // Viewport position of a point given as fractions of the plot area (may lie outside it).
    QPoint AtPlot(double fx, double fy) const
    {
        QChart* c = ChartView()->chart();
        const QRectF plot = ChartView()->mapFromScene(c->mapToScene(c->plotArea())).boundingRect();
        return QPointF(plot.left() + fx * plot.width(), plot.top() + fy * plot.height()).toPoint();
    }

    FlowChart chart;
};

void ExpectView(const TChartView& actual, const TChartView& expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual.XMin, expected.XMin, tolerance);
    EXPECT_NEAR(actual.XMax, expected.XMax, tolerance);
    EXPECT_NEAR(actual.YMin, expected.YMin, tolerance);
    EXPECT_NEAR(actual.YMax, expected.YMax, tolerance);
}

TEST_F(FlowChartTest, SeriesDrawInTheirStyle)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(QColor(10, 20, 200), TPointSymbol::Square));
    const SeriesId segment = chart.AddSeries(SegmentSeriesStyle(QColor(200, 20, 10, 128), TPointSymbol::Star));
    EXPECT_EQ(Line(flow)->pen().color(), QColor(10, 20, 200));
    EXPECT_EQ(Line(flow)->pen().widthF(), 3);
    EXPECT_EQ(Line(segment)->pen().color(), QColor(200, 20, 10, 128));
    EXPECT_EQ(Line(segment)->pen().widthF(), 2);
    EXPECT_EQ(Line(flow)->markerSize(), 25);
    const QImage marker = Line(flow)->lightMarker();
    ASSERT_EQ(marker.size(), QSize(25, 25));
    EXPECT_EQ(marker.pixelColor(12, 12), QColor(10, 20, 200)); // filled with the series colour
    EXPECT_EQ(marker.pixelColor(1, 12), QColor(Qt::black));    // inside the 2-wide black border

    for (int i = 0; i < 5; ++i) {
        chart.AddPoint(flow, i * 10, 20 + i);
        chart.AddPoint(segment, i * 10, 30 + i);
    }
    chart.Redraw();
    EXPECT_EQ(Drawn(flow).size(), 5);
    EXPECT_TRUE(Line(flow)->pointsVisible());
    EXPECT_FALSE(Line(segment)->pointsVisible());
    // Qt stamps a light marker whatever pointsVisible says: hidden symbols have none.
    EXPECT_TRUE(Line(segment)->lightMarker().isNull());
    EXPECT_FALSE(Line(flow)->lightMarker().isNull());

    chart.SetSeriesVisible(segment, false);
    chart.Redraw();
    EXPECT_FALSE(Line(segment)->isVisible());
    EXPECT_FALSE(chart.SeriesStyle(segment).Visible);
    EXPECT_EQ(chart.Points(segment).size(), 5u); // hidden, not forgotten
    chart.SetSeriesVisible(segment, true);
    chart.Redraw();
    EXPECT_TRUE(Line(segment)->isVisible());
    EXPECT_EQ(Drawn(segment).size(), 5);
}

// The widths of the opaque runs, left to right, on one row of a symbol's image.
std::vector<int> OpaqueRuns(const QImage& image, int row)
{
    std::vector<int> runs;
    int run = 0;
    for (int x = 0; x <= image.width(); ++x) {
        if (x < image.width() && image.pixelColor(x, row).alpha() >= 128) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    return runs;
}

TEST_F(FlowChartTest, EachDeviceTypeGetsItsSymbol)
{
    // The 25-pixel symbols, border included, seen on a row near the top, across the middle and
    // near the bottom: a circle is round at both ends, a square full everywhere, a triangle
    // points up and widens downwards, a diamond points up and down, a star has one point at the
    // top and two at the bottom.
    constexpr int rows[] = {3, 12, 21};
    const struct {
        tDeviceType type;
        const char* symbol;
        std::vector<int> top, middle, bottom; // opaque run widths in pixels, within 2
    } devices[] = {
        {dtMFCA, "circle", {17}, {25}, {17}},
        {dtMFCB, "square", {25}, {25}, {25}},
        {dtMFCC, "star", {3}, {15}, {3, 3}},
        {dtMFCD, "triangle", {5}, {14}, {23}},
        {dtPump, "diamond", {7}, {25}, {7}},
        {dtMFCDemo, "circle (the series' default)", {17}, {25}, {17}},
    };
    std::vector<QImage> markers;
    for (const auto& device : devices) {
        SCOPED_TRACE(device.symbol);
        const QImage marker =
            Line(chart.AddSeries(FlowSeriesStyle(Qt::red, DeviceSeries::SymbolOf(device.type))))->lightMarker();
        ASSERT_EQ(marker.size(), QSize(25, 25));
        EXPECT_EQ(marker.pixelColor(12, 12), QColor(Qt::red)); // every symbol is filled at its centre
        const std::vector<int>* expected[] = {&device.top, &device.middle, &device.bottom};
        for (int i = 0; i < 3; ++i) {
            const std::vector<int> runs = OpaqueRuns(marker, rows[i]);
            std::string seen;
            for (int run : runs)
                seen += std::to_string(run) + ' ';
            ASSERT_EQ(runs.size(), expected[i]->size()) << "row " << rows[i] << ": " << seen;
            for (std::size_t r = 0; r < runs.size(); ++r)
                EXPECT_NEAR(runs[r], (*expected[i])[r], 2) << "row " << rows[i] << ": " << seen;
        }
        markers.push_back(marker);
    }
    // The controllers' and the pump's five symbols differ from each other; the demo
    // controller's is MFC-A's.
    for (std::size_t a = 0; a < 5; ++a)
        for (std::size_t b = a + 1; b < 5; ++b)
            EXPECT_NE(markers[a], markers[b]) << a << " " << b;
    EXPECT_EQ(markers[5], markers[0]);
}

TEST_F(FlowChartTest, SymbolsHideWhereColumnsMergePoints)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    for (int i = 0; i < 100000; ++i)
        chart.AddPoint(flow, i / 60.0, 50 + std::sin(i / 100.0));
    chart.Redraw();
    EXPECT_FALSE(Line(flow)->pointsVisible());
    EXPECT_TRUE(Line(flow)->lightMarker().isNull());
    EXPECT_LE(Drawn(flow).size(), 2 * 800);
    chart.ZoomTo({100, 101, 0, 100}); // 60 points over the plot's width
    EXPECT_TRUE(Line(flow)->pointsVisible());
    EXPECT_FALSE(Line(flow)->lightMarker().isNull());
}

TEST_F(FlowChartTest, AxesScaleToTheShownDataInWholeSteps)
{
    ExpectView(chart.View(), {0, 10, 0, 100}); // nothing to show yet
    const SeriesId a = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    const SeriesId b = chart.AddSeries(FlowSeriesStyle(Qt::blue, TPointSymbol::Circle));
    chart.AddPoint(a, 0, 3);
    chart.AddPoint(a, 95, 47);
    chart.AddPoint(b, 500, 220);
    ExpectView(chart.View(), {0, 500, 0, 250});
    chart.SetSeriesVisible(b, false);
    ExpectView(chart.View(), {0, 100, 0, 50});
    chart.SetTimeFactor(60);
    ExpectView(chart.View(), {0, 1.6, 0, 50});
    chart.Redraw();
    EXPECT_DOUBLE_EQ(TimeAxis()->min(), 0);
    EXPECT_DOUBLE_EQ(TimeAxis()->max(), 1.6);
}

TEST_F(FlowChartTest, TimeFactorDividesTransformedTimesOnly)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    const SeriesId segment = chart.AddSeries(SegmentSeriesStyle(Qt::red, TPointSymbol::Circle));
    TSeriesStyle fixed;
    fixed.TimeTransformed = false;
    const SeriesId plain = chart.AddSeries(fixed);
    for (SeriesId id : {flow, segment, plain})
        chart.AddPoint(id, 90, 40);
    chart.SetTimeHighlight(90);

    struct Case {
        double factor;
        double drawnAt;
    };
    for (const Case c : {Case{60, 1.5}, Case{1440, 0.0625}, Case{1, 90}}) {
        chart.SetTimeFactor(c.factor);
        chart.Redraw();
        EXPECT_DOUBLE_EQ(Drawn(flow).at(0).x(), c.drawnAt) << c.factor;
        EXPECT_DOUBLE_EQ(Drawn(segment).at(0).x(), c.drawnAt) << c.factor;
        EXPECT_DOUBLE_EQ(Drawn(0).at(0).x(), c.drawnAt) << c.factor; // the highlight follows the axis
        EXPECT_DOUBLE_EQ(Drawn(plain).at(0).x(), 90) << c.factor;
        EXPECT_DOUBLE_EQ(chart.RtPointSeriesXValueTransformation(90), c.drawnAt);
    }
    EXPECT_EQ(chart.Points(flow).front(), QPointF(90, 40)); // stored in minutes
    for (double bad : {0.0, -60.0, std::nan("")})
        chart.SetTimeFactor(bad);
    EXPECT_EQ(chart.TimeFactor(), 1);
}

TEST_F(FlowChartTest, TimeHighlightIsAWideTranslucentRedLine)
{
    chart.SetTimeHighlight(12.5);
    chart.SetTimeHighlight(30);
    chart.Redraw();
    // A vertical line at the time from 0 to 100 % (its three points share one pixel column).
    const QList<QPointF> drawn = Drawn(0);
    ASSERT_FALSE(drawn.isEmpty());
    for (const QPointF& p : drawn)
        EXPECT_EQ(p.x(), 30);
    const auto [low, high] = std::minmax_element(drawn.begin(), drawn.end(),
                                                 [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    EXPECT_EQ(low->y(), 0);
    EXPECT_EQ(high->y(), 100);
    EXPECT_EQ(Line(0)->pen().color(), QColor(255, 0, 0, 30));
    EXPECT_EQ(Line(0)->pen().widthF(), 10);
    EXPECT_FALSE(Line(0)->pointsVisible());
}

TEST_F(FlowChartTest, ZoomLevelsStackAndUndo)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    chart.AddPoint(flow, 0, 0);
    chart.AddPoint(flow, 100, 100);
    const TChartView whole = chart.View();
    EXPECT_FALSE(chart.IsZoomed());

    chart.ZoomTo({10, 50, 20, 80});
    chart.ZoomTo({40, 30, 60, 50}); // corners in any order
    EXPECT_EQ(chart.ZoomDepth(), 2);
    ExpectView(chart.View(), {30, 40, 50, 60});
    EXPECT_DOUBLE_EQ(TimeAxis()->min(), 30);
    EXPECT_DOUBLE_EQ(TimeAxis()->max(), 40);

    chart.ZoomTo({35, 35, 0, 10}); // no area: ignored
    EXPECT_EQ(chart.ZoomDepth(), 2);

    chart.ZoomBack();
    ExpectView(chart.View(), {10, 50, 20, 80});
    chart.ZoomBack();
    EXPECT_FALSE(chart.IsZoomed());
    ExpectView(chart.View(), whole);
    chart.ZoomBack(); // nothing left to undo
    EXPECT_EQ(chart.ZoomDepth(), 0);

    chart.Pan(5, -10); // from the automatic view: one step
    EXPECT_EQ(chart.ZoomDepth(), 1);
    ExpectView(chart.View(), {whole.XMin + 5, whole.XMax + 5, whole.YMin - 10, whole.YMax - 10});
    chart.ZoomTo({10, 20, 10, 20});
    chart.ZoomTo({12, 14, 12, 14});
    chart.ResetZoom();
    EXPECT_EQ(chart.ZoomDepth(), 0);
    ExpectView(chart.View(), whole);
}

TEST_F(FlowChartTest, ZoomedViewKeepsItsTimeStretchWhenTheUnitChanges)
{
    chart.ZoomTo({30, 60, 0, 100});
    chart.ZoomTo({45, 60, 0, 50});
    chart.SetTimeFactor(60);
    ExpectView(chart.View(), {0.75, 1, 0, 50});
    chart.ZoomBack();
    ExpectView(chart.View(), {0.5, 1, 0, 100});
}

TEST_F(FlowChartTest, ScrollBarsShowWhileZoomedAndMoveTheView)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    chart.AddPoint(flow, 0, 0);
    chart.AddPoint(flow, 100, 100);
    QScrollBar* horizontal = Bar(Qt::Horizontal);
    QScrollBar* vertical = Bar(Qt::Vertical);
    ASSERT_TRUE(horizontal && vertical);
    EXPECT_FALSE(horizontal->isVisible());
    chart.ZoomTo({0, 25, 50, 100});
    EXPECT_TRUE(horizontal->isVisible());
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_EQ(horizontal->value(), 0);
    EXPECT_EQ(vertical->value(), 0); // at the top

    horizontal->setValue(horizontal->maximum());
    ExpectView(chart.View(), {75, 100, 50, 100}, 1e-6);
    vertical->setValue(vertical->maximum());
    ExpectView(chart.View(), {75, 100, 0, 50}, 1e-6);
    EXPECT_EQ(chart.ZoomDepth(), 1); // scrolling is no zoom step

    chart.ResetZoom();
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_FALSE(vertical->isVisible());
}

TEST_F(FlowChartTest, MouseZoomsPansAndStepsBack)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    chart.AddPoint(flow, 0, 0);
    chart.AddPoint(flow, 100, 100);
    chart.Redraw();
    QApplication::processEvents();
    QWidget* viewport = ChartView()->viewport();

    // Drag over the middle half of the plot area.
    Drag(viewport, AtPlot(0.25, 0.25), AtPlot(0.75, 0.75));
    EXPECT_EQ(chart.ZoomDepth(), 1);
    ExpectView(chart.View(), {25, 75, 25, 75}, 1.5);

    // Shift-drag a quarter of the width to the left: the view moves right by a quarter.
    const TChartView before = chart.View();
    Drag(viewport, AtPlot(0.5, 0.5), AtPlot(0.25, 0.5), Qt::ShiftModifier);
    EXPECT_EQ(chart.ZoomDepth(), 2);
    const double quarter = (before.XMax - before.XMin) / 4;
    ExpectView(chart.View(), {before.XMin + quarter, before.XMax + quarter, before.YMin, before.YMax}, 1);

    // A click beside the plot area undoes the pan; a double click there resets.
    Click(viewport, AtPlot(-0.02, 0.5));
    EXPECT_EQ(chart.ZoomDepth(), 1);
    ExpectView(chart.View(), before);
    DoubleClick(viewport, AtPlot(0.5, 1.1));
    EXPECT_FALSE(chart.IsZoomed());

    // A click inside the plot area is no zoom, a shift-click no pan.
    Click(viewport, AtPlot(0.5, 0.5));
    Mouse(viewport, QEvent::MouseButtonPress, AtPlot(0.5, 0.5), Qt::LeftButton, Qt::ShiftModifier);
    Mouse(viewport, QEvent::MouseButtonRelease, AtPlot(0.5, 0.5), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(chart.ZoomDepth(), 0);
}

TEST_F(FlowChartTest, PointsReachTheLineOnTheRedrawTimerNotOneByOne)
{
    const SeriesId flow = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    chart.Redraw();
    chart.AddPoint(flow, 1, 10);
    chart.AddPoint(flow, 2, 20);
    EXPECT_EQ(Drawn(flow).size(), 0);
    EXPECT_TRUE(WaitFor([&] { return Drawn(flow).size() == 2; }, 2000));

    // A hidden chart (a table shown in its place) catches up when shown again.
    chart.hide();
    chart.AddPoint(flow, 3, 30);
    WaitFor([] { return false; }, 3 * FlowChart::RedrawDelayMs);
    EXPECT_EQ(Drawn(flow).size(), 2);
    chart.show();
    EXPECT_EQ(Drawn(flow).size(), 3);
}

TEST_F(FlowChartTest, ClearGraphEmptiesEverySeriesButTheHighlight)
{
    const SeriesId a = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    const SeriesId b = chart.AddSeries(SegmentSeriesStyle(Qt::blue, TPointSymbol::Circle));
    chart.AddPoint(a, 1, 1);
    chart.AddPoint(b, 2, 2);
    chart.SetTimeHighlight(5);
    chart.ClearGraph(false);
    EXPECT_EQ(chart.Points(a).size(), 1u);
    chart.ClearGraph(true);
    chart.Redraw();
    EXPECT_TRUE(chart.Points(a).empty());
    EXPECT_TRUE(Drawn(b).isEmpty());
    EXPECT_FALSE(Drawn(0).isEmpty());
    chart.AddPoint(a, 50, 1); // later points keep their own times
    EXPECT_EQ(chart.Points(a).front(), QPointF(50, 1));
}

TEST_F(FlowChartTest, BadInputIsIgnored)
{
    const SeriesId a = chart.AddSeries(FlowSeriesStyle(Qt::red, TPointSymbol::Circle));
    chart.AddPoint(a, std::nan(""), 1);
    chart.AddPoint(a, 1, std::numeric_limits<double>::infinity());
    chart.AddPoint(a, 1e300, 1);
    chart.AddPoint(99, 1, 1);
    chart.AddPoint(NoSeries, 1, 1);
    chart.ClearSeries(99);
    chart.SetSeriesVisible(-5, false);
    chart.SetTimeHighlight(std::nan(""));
    chart.Pan(std::nan(""), 0);
    EXPECT_TRUE(chart.Points(a).empty());
    EXPECT_TRUE(chart.Points(99).empty());
    EXPECT_EQ(chart.ZoomDepth(), 0);
    chart.Redraw();
}

TEST_F(FlowChartTest, AxisCaptionsFontsColoursAndNoGrid)
{
    EXPECT_EQ(chart.TimeAxisCaption(), "Time, m");
    chart.SetTimeAxisCaption("Time, h");
    EXPECT_EQ(TimeAxis()->titleText(), "Time, h");
    const auto vertical = ChartView()->chart()->axes(Qt::Vertical);
    ASSERT_EQ(vertical.size(), 1);
    EXPECT_EQ(vertical.first()->titleText(), "Flow, %");
    EXPECT_EQ(vertical.first()->alignment(), Qt::AlignRight);
    EXPECT_EQ(vertical.first()->titleBrush().color(), QColor(139, 0, 0));

    // Both axes: bold serif captions in dark red, bold sans-serif numbers in dark blue, no grid.
    const auto horizontal = ChartView()->chart()->axes(Qt::Horizontal);
    ASSERT_EQ(horizontal.size(), 1);
    EXPECT_EQ(horizontal.first()->alignment(), Qt::AlignBottom);
    for (const QAbstractAxis* axis : {horizontal.first(), vertical.first()}) {
        SCOPED_TRACE(axis->titleText().toStdString());
        EXPECT_EQ(axis->titleFont().family(), "Times New Roman");
        EXPECT_EQ(axis->titleFont().styleHint(), QFont::Serif);
        EXPECT_TRUE(axis->titleFont().bold());
        EXPECT_EQ(axis->titleBrush().color(), QColor(139, 0, 0));
        EXPECT_EQ(axis->labelsFont().family(), "Arial");
        EXPECT_EQ(axis->labelsFont().styleHint(), QFont::SansSerif);
        EXPECT_TRUE(axis->labelsFont().bold());
        EXPECT_EQ(axis->labelsBrush().color(), QColor(0, 0, 139));
        EXPECT_FALSE(axis->isGridLineVisible());
        EXPECT_FALSE(axis->isMinorGridLineVisible());
    }
    EXPECT_EQ(ChartView()->chart()->backgroundBrush().color(), QColor(Qt::white));
}

} // namespace
