#include "ui/SegmentSerie.h"

#include "core/SegmentProgram.h"

namespace {

// The line runs on to this multiple of the last point's time when the last flow is kept.
constexpr double KeepLastFlowExtension = 1.01;

} // namespace

std::vector<QPointF> SegmentSeriePoints(const QString& Program, TSegProgTermination Termination)
{
    std::vector<QPointF> points;
    std::optional<TSegment> previous; // the last line read
    for (const TSegment& segment : ReadSegments(Program)) {
        if (segment.aType == QStringLiteral("Step")) {
            if (segment.Index == 0) {
                points.emplace_back(0, 0);
                points.emplace_back(segment.Time, 0);
            } else {
                points.emplace_back(segment.Time, previous ? previous->Setpoint : 0);
            }
            points.emplace_back(segment.Time, segment.Setpoint);
        } else if (segment.aType == QStringLiteral("Ramp")) {
            if (segment.Index == 0 && segment.Time > 0 && segment.Setpoint > 0)
                points.emplace_back(0, 0);
            points.emplace_back(segment.Time, segment.Setpoint);
        }
        previous = segment;
    }
    if (previous && Termination == tspttKeep)
        points.emplace_back(KeepLastFlowExtension * previous->Time, previous->Setpoint);
    return points;
}

std::optional<TPointSymbol> SegmentSerieSymbol(tDeviceType Type)
{
    switch (Type) {
    case dtMFCA:
        return TPointSymbol::Circle;
    case dtMFCB:
        return TPointSymbol::Square;
    case dtMFCC:
        return TPointSymbol::Star;
    case dtMFCD:
        return TPointSymbol::Triangle;
    case dtPump:
        return TPointSymbol::Diamond;
    case dtMFCDemo:
        break;
    }
    return std::nullopt;
}
