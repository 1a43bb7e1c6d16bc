#pragma once
// The flow chart: time along the bottom, flow in percent on the right, any number of line
// series (per device a requested "segment" series and an achieved "flow" series) and the
// designer's time highlight.
//
// Every point is kept here, in minutes and percent. What the chart draws is a reduced view:
// per pixel column of the visible range only the smallest and the largest point, so
// a week of one-second points from five devices redraws as a few thousand. The view is
// rebuilt on a short redraw timer after points arrive, or at once when the view changes;
// adding a point only stores it.
//
// Mouse: drag with the left button to zoom into the rectangle, shift-drag to pan, click beside
// the plot area to step back one zoom level, double-click beside it to reset the zoom. Scroll
// bars appear while zoomed.
#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>
#include <memory>
#include <span>
#include <vector>

enum class TPointSymbol { Circle, Square, Star, Triangle, Diamond };

struct TSeriesStyle {
    QColor LineColor = Qt::black;
    double LineWidth = 1;
    TPointSymbol Symbol = TPointSymbol::Circle;
    bool SymbolsVisible = false;
    double SymbolSize = 25;
    QColor SymbolFill = Qt::black;
    QColor SymbolBorderColor = Qt::black;
    double SymbolBorderWidth = 2;
    bool Visible = true;
    // Time values are divided by the chart's time factor before drawing.
    bool TimeTransformed = true;
};

// The achieved-flow series: line 3 wide, symbols shown (size 25, black border 2 wide).
TSeriesStyle FlowSeriesStyle(const QColor& color, TPointSymbol symbol);
// The requested-flow series: line 2 wide, symbols hidden (same look when shown).
TSeriesStyle SegmentSeriesStyle(const QColor& color, TPointSymbol symbol);

// A rectangle in axis units: time in the displayed unit, flow in percent.
struct TChartView {
    double XMin = 0;
    double XMax = 0;
    double YMin = 0;
    double YMax = 0;
};

// Handle of a series; valid for the life of the chart (series are emptied, never deleted).
using SeriesId = int;
inline constexpr SeriesId NoSeries = -1;

class FlowChart : public QWidget {
    Q_OBJECT
public:
    explicit FlowChart(QWidget* parent = nullptr);
    ~FlowChart() override;

    SeriesId AddSeries(const TSeriesStyle& style);
    void SetSeriesStyle(SeriesId series, const TSeriesStyle& style);
    TSeriesStyle SeriesStyle(SeriesId series) const;
    void SetSeriesVisible(SeriesId series, bool visible);
    // Stores the point (time in minutes, flow in percent); drawn at the next redraw. Points that
    // are not finite or beyond ±1e12 are ignored.
    void AddPoint(SeriesId series, double x, double y);
    void ClearSeries(SeriesId series);
    // The stored points, untransformed.
    const std::vector<QPointF>& Points(SeriesId series) const;
    // With RemoveData, empties every series except the time highlight; otherwise does nothing.
    void ClearGraph(bool RemoveData);

    // Minutes per displayed time unit (1, 60 or 1440). The zoom levels keep showing the same
    // stretch of time.
    void SetTimeFactor(double factor);
    double TimeFactor() const;
    // Displayed time of a time value of a transformed series.
    double RtPointSeriesXValueTransformation(double minutes) const;
    void SetTimeAxisCaption(const QString& caption);
    QString TimeAxisCaption() const;

    // The designer's time marker: a wide translucent red vertical line at the time (minutes),
    // from 0 to 100 %.
    void SetTimeHighlight(double minutes);

    // The rectangle shown now.
    TChartView View() const;
    bool IsZoomed() const;
    // Number of zoom steps that ZoomBack can undo.
    int ZoomDepth() const;
    // Shows the rectangle as a new zoom step; a rectangle without area is ignored.
    void ZoomTo(const TChartView& view);
    // Moves the view by dx, dy axis units as a new zoom step.
    void Pan(double dx, double dy);
    void ZoomBack();
    void ResetZoom();

    // Rebuilds the drawn view now (otherwise the redraw timer does it).
    void Redraw();

    static constexpr int RedrawDelayMs = 100;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> fImpl;
};

struct TDecimation {
    QList<QPointF> Points; // display coordinates
    bool Merged = false;   // some column inside the range held more than one point
};

// Reduces points to what a line through them shows at the given width: the displayed range
// [xMin, xMax] (displayed x = stored x × xScale) is cut into `columns` equal columns, and of
// each run of consecutive points in one column only the smallest and the largest are kept, in
// their order. Points left and right of the range form runs of their own of which the first
// and the last are kept, so that lines run on to the edges at their true slope. Unsorted input
// is handled; for input sorted by x pass `sorted`, which skips the points beyond the nearest
// one outside each edge.
TDecimation DecimateForColumns(std::span<const QPointF> points, bool sorted, double xScale, double xMin, double xMax,
                               int columns);
