#include "ui/FlowChart.h"

#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QImage>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QRubberBand>
#include <QScrollBar>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

const QColor CaptionColor(139, 0, 0);
const QColor TickLabelColor(0, 0, 139);
const QColor HighlightColor(255, 0, 0, 30);
constexpr double HighlightWidth = 10;
constexpr int TimeTicks = 10;
constexpr int FlowTicks = 5;
// Width assumed before the chart has been laid out once.
constexpr int FallbackColumns = 1000;
// Steps of the scroll bars over the whole extent.
constexpr int ScrollSteps = 10000;
// A drag shorter than this (pixels) is a click, not a zoom rectangle.
constexpr int MinimumDrag = 4;
// Points beyond this magnitude are no reading of an instrument and would break the axis steps.
constexpr double MaximumMagnitude = 1e12;

struct TBounds {
    double XMin = std::numeric_limits<double>::infinity();
    double XMax = -std::numeric_limits<double>::infinity();
    double YMin = std::numeric_limits<double>::infinity();
    double YMax = -std::numeric_limits<double>::infinity();

    bool Empty() const { return XMin > XMax; }
    void Add(double x, double y)
    {
        XMin = std::min(XMin, x);
        XMax = std::max(XMax, x);
        YMin = std::min(YMin, y);
        YMax = std::max(YMax, y);
    }
};

// A step of 1, 2 or 5 × 10^n that cuts span into about `ticks` intervals.
double NiceStep(double span, int ticks)
{
    const double raw = span / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double mantissa = raw / magnitude;
    const double nice = mantissa <= 1 ? 1 : mantissa <= 2 ? 2 : mantissa <= 5 ? 5 : 10;
    return nice * magnitude;
}

// The range widened outward to whole steps; a range without width gets some around it, but
// never below zero when nothing shown is negative (times and flows start there).
std::pair<double, double> NiceRange(double low, double high, int ticks)
{
    if (!(high > low)) {
        const double pad = std::max(std::abs(low) * 0.1, 1.0);
        low = low >= 0 ? std::max(low - pad, 0.0) : low - pad;
        high += pad;
    }
    const double step = NiceStep(high - low, ticks);
    return {std::floor(low / step) * step, std::ceil(high / step) * step};
}

// An axis lays out an item for every tick at each change of its range or step, so the new
// range under the old step (or the old range under the new step) can briefly mean many
// thousand ticks, as when days turn into minutes. The change that lowers the count goes first.
void SetAxisRange(QValueAxis* axis, double low, double high, int ticks)
{
    const double step = NiceStep(high - low, ticks);
    const bool stepFirst = step > axis->tickInterval();
    if (stepFirst)
        axis->setTickInterval(step);
    axis->setRange(low, high);
    axis->setTickAnchor(std::ceil(low / step) * step);
    if (!stepFirst)
        axis->setTickInterval(step);
}

bool HasArea(const TChartView& view)
{
    const auto usable = [](double v) { return std::abs(v) <= MaximumMagnitude; };
    return usable(view.XMin) && usable(view.XMax) && usable(view.YMin) && usable(view.YMax) && view.XMax > view.XMin
           && view.YMax > view.YMin;
}

QPolygonF SymbolOutline(TPointSymbol symbol, const QRectF& box)
{
    const QPointF c = box.center();
    const double r = box.width() / 2;
    switch (symbol) {
    case TPointSymbol::Triangle:
        return QPolygonF({QPointF(c.x(), box.top()), box.bottomRight(), box.bottomLeft()});
    case TPointSymbol::Diamond:
        return QPolygonF({QPointF(c.x(), box.top()), QPointF(box.right(), c.y()), QPointF(c.x(), box.bottom()),
                          QPointF(box.left(), c.y())});
    case TPointSymbol::Star: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double radius = i % 2 == 0 ? r : r * 0.4;
            const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            star << QPointF(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        }
        return star;
    }
    case TPointSymbol::Circle:
    case TPointSymbol::Square:
        break;
    }
    return QPolygonF(box);
}

// The image the chart stamps on every drawn point.
QImage SymbolImage(const TSeriesStyle& style)
{
    const int size = std::max(1, qRound(style.SymbolSize));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double border = std::max(0.0, style.SymbolBorderWidth);
    painter.setPen(border > 0 ? QPen(style.SymbolBorderColor, border) : QPen(Qt::NoPen));
    painter.setBrush(style.SymbolFill);
    const QRectF box = QRectF(0, 0, size, size).adjusted(border / 2, border / 2, -border / 2, -border / 2);
    if (style.Symbol == TPointSymbol::Circle)
        painter.drawEllipse(box);
    else
        painter.drawPolygon(SymbolOutline(style.Symbol, box));
    return image;
}

struct TSeries {
    TSeriesStyle Style;
    std::vector<QPointF> Points;
    bool Sorted = true; // x never decreased, so the visible range can be found by bisection
    TBounds Bounds;     // of the stored points
    QImage Marker;      // the symbol, stamped on the points only while symbols show
    QLineSeries* Line = nullptr; // owned by the chart
};

const std::vector<QPointF> NoPoints;

} // namespace

TSeriesStyle FlowSeriesStyle(const QColor& color, TPointSymbol symbol)
{
    TSeriesStyle style;
    style.LineColor = color;
    style.LineWidth = 3;
    style.Symbol = symbol;
    style.SymbolsVisible = true;
    style.SymbolFill = color;
    return style;
}

TSeriesStyle SegmentSeriesStyle(const QColor& color, TPointSymbol symbol)
{
    TSeriesStyle style = FlowSeriesStyle(color, symbol);
    style.LineWidth = 2;
    style.SymbolsVisible = false;
    return style;
}

TDecimation DecimateForColumns(std::span<const QPointF> points, bool sorted, double xScale, double xMin, double xMax,
                               int columns)
{
    TDecimation result;
    columns = std::max(columns, 1);
    const double perColumn = columns / (xMax - xMin);
    std::size_t begin = 0;
    std::size_t end = points.size();
    if (sorted && xScale > 0) {
        const auto low = std::lower_bound(points.begin(), points.end(), xMin,
                                          [&](const QPointF& p, double x) { return p.x() * xScale < x; });
        const auto high = std::upper_bound(points.begin(), points.end(), xMax,
                                           [&](double x, const QPointF& p) { return x < p.x() * xScale; });
        begin = std::size_t(low - points.begin());
        end = std::size_t(high - points.begin());
        begin -= begin > 0 ? 1 : 0;
        end += end < points.size() ? 1 : 0;
    }
    if (begin >= end)
        return result;
    if (!std::isfinite(perColumn) || perColumn <= 0) {
        for (std::size_t i = begin; i < end; ++i)
            result.Points.append(QPointF(points[i].x() * xScale, points[i].y()));
        return result;
    }
    result.Points.reserve(qsizetype(std::min<std::size_t>(end - begin, 2 * std::size_t(columns + 2))));

    int runColumn = INT_MIN;
    std::size_t first = begin, lowest = begin, highest = begin, last = begin;
    const auto keep = [&](std::size_t i) { result.Points.append(QPointF(points[i].x() * xScale, points[i].y())); };
    const auto flush = [&] {
        const bool inside = runColumn >= 0 && runColumn < columns;
        // Inside the range the smallest and largest suffice: they span the column's pixels.
        // Outside it the first and last keep the lines into the range on their true slope.
        std::size_t a = inside ? std::min(lowest, highest) : first;
        std::size_t b = inside ? std::max(lowest, highest) : last;
        keep(a);
        if (b != a)
            keep(b);
        if (inside && last > first)
            result.Merged = true;
    };
    for (std::size_t i = begin; i < end; ++i) {
        const double x = points[i].x() * xScale;
        int column;
        if (x < xMin)
            column = -1;
        else if (x > xMax)
            column = columns;
        else
            column = std::min(int((x - xMin) * perColumn), columns - 1);
        if (column != runColumn) {
            if (i != begin)
                flush();
            runColumn = column;
            first = lowest = highest = last = i;
            continue;
        }
        last = i;
        const double y = points[i].y();
        if (y < points[lowest].y())
            lowest = i;
        if (y > points[highest].y())
            highest = i;
    }
    flush();
    return result;
}

struct FlowChart::Impl {
    class View;

    explicit Impl(FlowChart& owner);

    TSeries* Find(SeriesId id);
    double Scale(const TSeries& series) const { return series.Style.TimeTransformed ? 1.0 / fTimeFactor : 1.0; }
    void ApplyStyle(TSeries& series);
    void ScheduleRedraw();
    void RedrawTimerFired();

    TChartView AutoView() const;
    TChartView CurrentView() const { return fView ? *fView : AutoView(); }
    // Remembers the view as a zoom step and fixes the current view, ready to be changed.
    void BeginViewChange();
    void ShiftView(double dx, double dy);
    void Rebuild();
    int Columns() const;
    void UpdateScrollBars(const TChartView& view);
    void ScrollBarMoved();

    FlowChart& fOwner;
    QChart* fChart = nullptr;
    View* fChartView = nullptr;
    QValueAxis* fTimeAxis = nullptr;
    QValueAxis* fFlowAxis = nullptr;
    QScrollBar* fHorizontalBar = nullptr;
    QScrollBar* fVerticalBar = nullptr;
    QTimer fRedrawTimer;
    std::vector<TSeries> fSeries;
    SeriesId fHighlight = NoSeries;
    double fTimeFactor = 1;
    std::optional<TChartView> fView; // empty: follow the data
    std::vector<std::optional<TChartView>> fZoomStack;
    TChartView fScrollExtent; // what the scroll bars span: the data and the view together
    bool fRedrawWhenShown = false;
    bool fUpdatingBars = false;
};

// The chart's view with the zoom and pan gestures.
class FlowChart::Impl::View : public QChartView {
public:
    View(QChart* chart, FlowChart::Impl& impl, QWidget* parent)
        : QChartView(chart, parent)
        , fImpl(impl)
        , fBand(QRubberBand::Rectangle, viewport())
    {
        setRubberBand(QChartView::NoRubberBand);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            QChartView::mousePressEvent(event);
            return;
        }
        fPress = event->position().toPoint();
        fLast = fPress;
        fInside = PlotArea().contains(fPress);
        fPanning = fInside && (event->modifiers() & Qt::ShiftModifier);
        if (fPanning) {
            fImpl.BeginViewChange();
        } else if (fInside) {
            fBand.setGeometry(QRect(fPress, QSize()));
            fBand.show();
        }
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton)) {
            QChartView::mouseMoveEvent(event);
            return;
        }
        const QPoint position = event->position().toPoint();
        if (fPanning) {
            const QRectF plot = PlotArea();
            const TChartView view = fImpl.CurrentView();
            if (plot.width() > 0 && plot.height() > 0) {
                const double dx = -(position.x() - fLast.x()) * (view.XMax - view.XMin) / plot.width();
                const double dy = (position.y() - fLast.y()) * (view.YMax - view.YMin) / plot.height();
                fImpl.ShiftView(dx, dy);
            }
            fLast = position;
        } else if (fBand.isVisible()) {
            fBand.setGeometry(QRect(fPress, position).normalized());
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            QChartView::mouseReleaseEvent(event);
            return;
        }
        const QPoint position = event->position().toPoint();
        if (fPanning) {
            fPanning = false;
            if (position == fPress) // a shift-click moved nothing: no zoom step to keep
                fOwner().ZoomBack();
        } else if (fBand.isVisible()) {
            fBand.hide();
            const QRect dragged = QRect(fPress, position).normalized();
            if (dragged.width() >= MinimumDrag && dragged.height() >= MinimumDrag) {
                const QPointF a = ToValue(dragged.topLeft());
                const QPointF b = ToValue(dragged.bottomRight());
                fOwner().ZoomTo({a.x(), b.x(), b.y(), a.y()});
            }
        } else if (!fInside) {
            fOwner().ZoomBack();
        }
        event->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && !PlotArea().contains(event->position()))
            fOwner().ResetZoom();
        event->accept();
    }

private:
    FlowChart& fOwner() const { return fImpl.fOwner; }

    // The plot area in viewport pixels.
    QRectF PlotArea() const
    {
        return mapFromScene(chart()->mapToScene(chart()->plotArea())).boundingRect();
    }

    QPointF ToValue(const QPoint& position) const
    {
        const QRectF plot = PlotArea();
        const TChartView view = fImpl.CurrentView();
        const double fx = (position.x() - plot.left()) / plot.width();
        const double fy = (position.y() - plot.top()) / plot.height();
        return {view.XMin + fx * (view.XMax - view.XMin), view.YMax - fy * (view.YMax - view.YMin)};
    }

    FlowChart::Impl& fImpl;
    QRubberBand fBand;
    QPoint fPress;
    QPoint fLast;
    bool fInside = false;
    bool fPanning = false;
};

FlowChart::Impl::Impl(FlowChart& owner)
    : fOwner(owner)
{
    fChart = new QChart();
    fChart->legend()->hide();
    fChart->setBackgroundBrush(Qt::white);
    fChart->setBackgroundRoundness(0);
    fChart->setMargins(QMargins(2, 2, 2, 2));
    fChart->setLocalizeNumbers(true);

    QFont captionFont(QStringLiteral("Times New Roman"));
    captionFont.setStyleHint(QFont::Serif);
    captionFont.setBold(true);
    QFont tickFont(QStringLiteral("Arial"));
    tickFont.setStyleHint(QFont::SansSerif);
    tickFont.setBold(true);
    fTimeAxis = new QValueAxis();
    fFlowAxis = new QValueAxis();
    for (QValueAxis* axis : {fTimeAxis, fFlowAxis}) {
        axis->setTitleFont(captionFont);
        axis->setTitleBrush(CaptionColor);
        axis->setLabelsFont(tickFont);
        axis->setLabelsBrush(TickLabelColor);
        axis->setGridLineVisible(false);
        axis->setMinorGridLineVisible(false);
        axis->setTickType(QValueAxis::TicksDynamic);
    }
    fTimeAxis->setTitleText(QStringLiteral("Time, m"));
    fFlowAxis->setTitleText(QStringLiteral("Flow, %"));
    fChart->addAxis(fTimeAxis, Qt::AlignBottom);
    fChart->addAxis(fFlowAxis, Qt::AlignRight);

    fChartView = new View(fChart, *this, &owner);
    fHorizontalBar = new QScrollBar(Qt::Horizontal, &owner);
    fVerticalBar = new QScrollBar(Qt::Vertical, &owner);
    fHorizontalBar->hide();
    fVerticalBar->hide();
    auto* layout = new QGridLayout(&owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(fChartView, 0, 0);
    layout->addWidget(fVerticalBar, 0, 1);
    layout->addWidget(fHorizontalBar, 1, 0);

    fRedrawTimer.setSingleShot(true);
    fRedrawTimer.setInterval(RedrawDelayMs);
    QObject::connect(&fRedrawTimer, &QTimer::timeout, &owner, [this] { RedrawTimerFired(); });
    // A new plot size changes the number of columns; labels of a new range may resize the plot.
    QObject::connect(fChart, &QChart::plotAreaChanged, &owner, [this] { ScheduleRedraw(); });
    QObject::connect(fHorizontalBar, &QScrollBar::valueChanged, &owner, [this] { ScrollBarMoved(); });
    QObject::connect(fVerticalBar, &QScrollBar::valueChanged, &owner, [this] { ScrollBarMoved(); });
}

TSeries* FlowChart::Impl::Find(SeriesId id)
{
    return id >= 0 && std::size_t(id) < fSeries.size() ? &fSeries[std::size_t(id)] : nullptr;
}

void FlowChart::Impl::ApplyStyle(TSeries& series)
{
    const TSeriesStyle& style = series.Style;
    QPen pen(style.LineColor, std::max(0.0, style.LineWidth));
    pen.setCapStyle(Qt::FlatCap);
    series.Line->setPen(pen);
    series.Line->setMarkerSize(std::max(1.0, style.SymbolSize));
    // Qt draws a light marker on every point whatever pointsVisible says: the marker is set
    // only while the symbols are to show.
    series.Marker = SymbolImage(style);
    series.Line->setLightMarker(style.SymbolsVisible ? series.Marker : QImage());
    series.Line->setVisible(style.Visible);
}

void FlowChart::Impl::ScheduleRedraw()
{
    if (!fRedrawTimer.isActive())
        fRedrawTimer.start();
}

void FlowChart::Impl::RedrawTimerFired()
{
    // A hidden chart (the top area shows a table) waits until it is shown again.
    if (fOwner.isVisible())
        Rebuild();
    else
        fRedrawWhenShown = true;
}

TChartView FlowChart::Impl::AutoView() const
{
    TBounds shown;
    for (const TSeries& series : fSeries) {
        if (!series.Style.Visible || series.Bounds.Empty())
            continue;
        const double scale = Scale(series);
        shown.Add(series.Bounds.XMin * scale, series.Bounds.YMin);
        shown.Add(series.Bounds.XMax * scale, series.Bounds.YMax);
    }
    if (shown.Empty())
        return {0, 10, 0, 100};
    const auto [xMin, xMax] = NiceRange(shown.XMin, shown.XMax, TimeTicks);
    const auto [yMin, yMax] = NiceRange(shown.YMin, shown.YMax, FlowTicks);
    return {xMin, xMax, yMin, yMax};
}

void FlowChart::Impl::BeginViewChange()
{
    fZoomStack.push_back(fView);
    fView = CurrentView();
}

void FlowChart::Impl::ShiftView(double dx, double dy)
{
    if (!fView)
        return;
    const TChartView shifted{fView->XMin + dx, fView->XMax + dx, fView->YMin + dy, fView->YMax + dy};
    if (!HasArea(shifted))
        return;
    fView = shifted;
    Rebuild();
}

int FlowChart::Impl::Columns() const
{
    const int width = qRound(fChart->plotArea().width());
    return width >= 2 ? width : FallbackColumns;
}

void FlowChart::Impl::Rebuild()
{
    fRedrawTimer.stop();
    fRedrawWhenShown = false;
    const TChartView view = CurrentView();
    SetAxisRange(fTimeAxis, view.XMin, view.XMax, TimeTicks);
    SetAxisRange(fFlowAxis, view.YMin, view.YMax, FlowTicks);

    const int columns = Columns();
    for (TSeries& series : fSeries) {
        if (!series.Style.Visible) {
            series.Line->clear();
            continue;
        }
        TDecimation drawn = DecimateForColumns(series.Points, series.Sorted, Scale(series), view.XMin, view.XMax, columns);
        // Symbols only where the points stand apart; merged columns would show a smear of them.
        const bool symbols = series.Style.SymbolsVisible && !drawn.Merged;
        series.Line->setPointsVisible(symbols);
        if (symbols == series.Line->lightMarker().isNull())
            series.Line->setLightMarker(symbols ? series.Marker : QImage());
        series.Line->replace(drawn.Points);
    }
    UpdateScrollBars(view);
}

void FlowChart::Impl::UpdateScrollBars(const TChartView& view)
{
    fUpdatingBars = true;
    const bool zoomed = fView.has_value();
    fHorizontalBar->setVisible(zoomed);
    fVerticalBar->setVisible(zoomed);
    if (zoomed) {
        const TChartView data = AutoView();
        const TChartView extent{std::min(data.XMin, view.XMin), std::max(data.XMax, view.XMax),
                                std::min(data.YMin, view.YMin), std::max(data.YMax, view.YMax)};
        const auto setBar = [](QScrollBar* bar, double extentSize, double viewSize, double offset) {
            const double perUnit = ScrollSteps / extentSize;
            bar->setRange(0, qRound((extentSize - viewSize) * perUnit));
            bar->setPageStep(std::max(1, qRound(viewSize * perUnit)));
            bar->setSingleStep(std::max(1, qRound(viewSize * perUnit / 10)));
            bar->setValue(qRound(offset * perUnit));
        };
        setBar(fHorizontalBar, extent.XMax - extent.XMin, view.XMax - view.XMin, view.XMin - extent.XMin);
        setBar(fVerticalBar, extent.YMax - extent.YMin, view.YMax - view.YMin, extent.YMax - view.YMax);
        fScrollExtent = extent;
    }
    fUpdatingBars = false;
}

void FlowChart::Impl::ScrollBarMoved()
{
    if (fUpdatingBars || !fView)
        return;
    const TChartView& extent = fScrollExtent;
    const double left = extent.XMin + fHorizontalBar->value() * (extent.XMax - extent.XMin) / ScrollSteps;
    const double top = extent.YMax - fVerticalBar->value() * (extent.YMax - extent.YMin) / ScrollSteps;
    ShiftView(left - fView->XMin, top - fView->YMax);
}

FlowChart::FlowChart(QWidget* parent)
    : QWidget(parent)
    , fImpl(std::make_unique<Impl>(*this))
{
    TSeriesStyle highlight;
    highlight.LineColor = HighlightColor;
    highlight.LineWidth = HighlightWidth;
    highlight.SymbolsVisible = false;
    fImpl->fHighlight = AddSeries(highlight);
}

FlowChart::~FlowChart()
{
    // The children outlive fImpl by a moment; nothing of theirs may call into it then.
    fImpl->fChart->disconnect(this);
    fImpl->fHorizontalBar->disconnect(this);
    fImpl->fVerticalBar->disconnect(this);
}

SeriesId FlowChart::AddSeries(const TSeriesStyle& style)
{
    TSeries series;
    series.Style = style;
    series.Line = new QLineSeries();
    fImpl->fChart->addSeries(series.Line);
    series.Line->attachAxis(fImpl->fTimeAxis);
    series.Line->attachAxis(fImpl->fFlowAxis);
    fImpl->ApplyStyle(series);
    fImpl->fSeries.push_back(std::move(series));
    fImpl->ScheduleRedraw();
    return SeriesId(fImpl->fSeries.size() - 1);
}

void FlowChart::SetSeriesStyle(SeriesId id, const TSeriesStyle& style)
{
    if (TSeries* series = fImpl->Find(id)) {
        series->Style = style;
        fImpl->ApplyStyle(*series);
        fImpl->ScheduleRedraw();
    }
}

TSeriesStyle FlowChart::SeriesStyle(SeriesId id) const
{
    const TSeries* series = fImpl->Find(id);
    return series ? series->Style : TSeriesStyle{};
}

void FlowChart::SetSeriesVisible(SeriesId id, bool visible)
{
    if (TSeries* series = fImpl->Find(id)) {
        TSeriesStyle style = series->Style;
        style.Visible = visible;
        SetSeriesStyle(id, style);
    }
}

void FlowChart::AddPoint(SeriesId id, double x, double y)
{
    TSeries* series = fImpl->Find(id);
    if (!series || !(std::abs(x) <= MaximumMagnitude) || !(std::abs(y) <= MaximumMagnitude))
        return;
    if (!series->Points.empty() && x < series->Points.back().x())
        series->Sorted = false;
    series->Points.emplace_back(x, y);
    series->Bounds.Add(x, y);
    fImpl->ScheduleRedraw();
}

void FlowChart::ClearSeries(SeriesId id)
{
    if (TSeries* series = fImpl->Find(id)) {
        // Give the memory back: a week-long series holds tens of megabytes.
        std::vector<QPointF>().swap(series->Points);
        series->Sorted = true;
        series->Bounds = TBounds{};
        fImpl->ScheduleRedraw();
    }
}

const std::vector<QPointF>& FlowChart::Points(SeriesId id) const
{
    const TSeries* series = fImpl->Find(id);
    return series ? series->Points : NoPoints;
}

void FlowChart::ClearGraph(bool RemoveData)
{
    if (!RemoveData)
        return;
    for (SeriesId id = 0; id < SeriesId(fImpl->fSeries.size()); ++id)
        if (id != fImpl->fHighlight)
            ClearSeries(id);
}

void FlowChart::SetTimeFactor(double factor)
{
    if (!std::isfinite(factor) || factor <= 0 || factor == fImpl->fTimeFactor)
        return;
    // Deliberately not "(upper end + 10) / new factor": the chart follows its data unless
    // zoomed, and a zoomed view rescaled by the old over the new factor keeps showing the same
    // stretch of time, whereas that rule would show another one (from hours back to minutes,
    // a 2.2-hour view would become 12.2 minutes).
    const double rescale = fImpl->fTimeFactor / factor;
    const auto rescaled = [rescale](std::optional<TChartView>& view) {
        if (view) {
            view->XMin *= rescale;
            view->XMax *= rescale;
        }
    };
    rescaled(fImpl->fView);
    for (std::optional<TChartView>& view : fImpl->fZoomStack)
        rescaled(view);
    fImpl->fTimeFactor = factor;
    fImpl->Rebuild();
}

double FlowChart::TimeFactor() const
{
    return fImpl->fTimeFactor;
}

double FlowChart::RtPointSeriesXValueTransformation(double minutes) const
{
    return minutes / fImpl->fTimeFactor;
}

void FlowChart::SetTimeAxisCaption(const QString& caption)
{
    fImpl->fTimeAxis->setTitleText(caption);
}

QString FlowChart::TimeAxisCaption() const
{
    return fImpl->fTimeAxis->titleText();
}

void FlowChart::SetTimeHighlight(double minutes)
{
    if (!std::isfinite(minutes))
        return;
    const SeriesId id = fImpl->fHighlight;
    ClearSeries(id);
    AddPoint(id, minutes, 0);
    AddPoint(id, minutes, 100);
    AddPoint(id, minutes, 0);
}

TChartView FlowChart::View() const
{
    return fImpl->CurrentView();
}

bool FlowChart::IsZoomed() const
{
    return fImpl->fView.has_value();
}

int FlowChart::ZoomDepth() const
{
    return int(fImpl->fZoomStack.size());
}

void FlowChart::ZoomTo(const TChartView& view)
{
    const TChartView normal{std::min(view.XMin, view.XMax), std::max(view.XMin, view.XMax),
                            std::min(view.YMin, view.YMax), std::max(view.YMin, view.YMax)};
    if (!HasArea(normal))
        return;
    fImpl->BeginViewChange();
    fImpl->fView = normal;
    fImpl->Rebuild();
}

void FlowChart::Pan(double dx, double dy)
{
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return;
    fImpl->BeginViewChange();
    fImpl->ShiftView(dx, dy);
}

void FlowChart::ZoomBack()
{
    if (fImpl->fZoomStack.empty())
        return;
    fImpl->fView = fImpl->fZoomStack.back();
    fImpl->fZoomStack.pop_back();
    fImpl->Rebuild();
}

void FlowChart::ResetZoom()
{
    fImpl->fZoomStack.clear();
    fImpl->fView.reset();
    fImpl->Rebuild();
}

void FlowChart::Redraw()
{
    fImpl->Rebuild();
}

void FlowChart::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (fImpl->fRedrawWhenShown)
        fImpl->Rebuild();
}
