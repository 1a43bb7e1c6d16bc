// Segment program text as an operator's file holds it: read, validated, evaluated at many
// times (before the start, at and between the points, past the end, NaN and infinities),
// its duration, its round trip through the editor's rows, merging a line into it and the
// merged table of several devices' programs.
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "core/SegmentProgram.h"
#include "core/TextTables.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<double> ProbeTimes(const QList<TSegment>& points)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    std::vector<double> times = {std::nan(""), -inf, inf, -std::numeric_limits<double>::max(),
                                 std::numeric_limits<double>::max(), -60, -1, 0, 0.25, 1, 1e6};
    for (const TSegment& point : points) {
        times.push_back(point.Time);
        times.push_back(std::nextafter(point.Time, -inf));
        times.push_back(std::nextafter(point.Time, inf));
        times.push_back(point.Time / 2);
    }
    for (qsizetype i = 1; i < points.size(); ++i)
        times.push_back(points[i - 1].Time + (points[i].Time - points[i - 1].Time) / 3);
    return times;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    const QString text = Utf8Text(data, size);

    const QList<TSegment> points = ReadSegments(text);
    FUZZ_CHECK(points.size() <= SegmentCount(text), text);
    const bool valid = ValidateSegmentProgram(text);
    for (double t : ProbeTimes(points)) {
        const TSegment at = SegmentAt(text, t);
        if (valid)
            FUZZ_CHECK(at.Setpoint >= 0 && at.Setpoint <= 100,
                       QStringLiteral("setpoint %1 at %2 of\n%3").arg(at.Setpoint).arg(t).arg(text));
    }
    const double duration = SegmentProgramDuration(text);
    if (valid)
        FUZZ_CHECK(std::isfinite(duration) && duration >= 0, text);

    QList<TSegmentRow> rows;
    if (valid && SegmentTextToRows(text, rows)) {
        // A valid program the editor writes back reads into rows that write the same text
        // again. (An invalid one may hold a quoted field with blanks, which the rows keep and
        // the text then splits.)
        const QString written = SegmentRowsToText(rows);
        QList<TSegmentRow> again;
        FUZZ_CHECK(SegmentTextToRows(written, again), written);
        FUZZ_CHECK(SegmentRowsToText(again) == written, written);
    }

    QString merged = text;
    try {
        MergeSegmentLine(merged, QStringLiteral("5 50 Step"));
        FUZZ_CHECK(merged.isEmpty() || merged.endsWith(QStringLiteral("\r\n")), merged);
    } catch (const ConvertError&) {
        FUZZ_CHECK(merged == text, QStringLiteral("a refused merge left the text changed"));
    }

    const QStringList table = {QStringLiteral("m"), QStringLiteral("1"), QStringLiteral("COM1|MFC A|") + text,
                               QStringLiteral("COM2|Pump|0 10 Step\r\n5 20 Ramp")};
    FUZZ_CHECK(!MergedSegmentTable(table).isEmpty(), text);
    return 0;
}
