#include "ui/FlowChart.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Dataset {
    const char* name;
    std::vector<QPointF> points;
    bool sorted;
    double scale;
    double xMin;
    double xMax;
    int columns;
};

// One point a second for `minutes` minutes (x in minutes), a wave with a saw on top.
std::vector<QPointF> SecondPoints(double minutes, double startMinute = 0)
{
    std::vector<QPointF> points;
    for (int i = 0; i < int(minutes * 60); ++i) {
        const double x = startMinute + i / 60.0;
        points.emplace_back(x, 50 + 30 * std::sin(x / 7) + (i % 11) * 0.5);
    }
    return points;
}

std::vector<QPointF> ClockTurnedBack()
{
    // An hour of points, then the clock goes back half an hour and the run continues.
    std::vector<QPointF> points = SecondPoints(60);
    const std::vector<QPointF> after = SecondPoints(60, 30);
    points.insert(points.end(), after.begin(), after.end());
    return points;
}

std::vector<Dataset> Datasets()
{
    return {
        {"dense whole run", SecondPoints(240), true, 1, 0, 240, 100},
        {"dense zoomed middle", SecondPoints(240), true, 1, 100.5, 130.25, 37},
        {"hours", SecondPoints(240), true, 1.0 / 60, 0, 4, 50},
        {"clock turned back", ClockTurnedBack(), false, 1, 0, 90, 60},
        {"range wider than data", SecondPoints(10), true, 1, -5, 20, 40},
    };
}

int ColumnOf(double displayX, const Dataset& d)
{
    return std::min(int((displayX - d.xMin) * d.columns / (d.xMax - d.xMin)), d.columns - 1);
}

TEST(ChartDecimation, KeepsSmallestAndLargestOfEveryColumn)
{
    for (const Dataset& d : Datasets()) {
        SCOPED_TRACE(d.name);
        std::map<int, std::pair<double, double>> expected; // column -> (min, max)
        for (const QPointF& p : d.points) {
            const double x = p.x() * d.scale;
            if (x < d.xMin || x > d.xMax)
                continue;
            auto [it, added] = expected.try_emplace(ColumnOf(x, d), p.y(), p.y());
            it->second.first = std::min(it->second.first, p.y());
            it->second.second = std::max(it->second.second, p.y());
        }
        const TDecimation drawn = DecimateForColumns(d.points, d.sorted, d.scale, d.xMin, d.xMax, d.columns);
        std::map<int, std::pair<double, double>> kept;
        for (const QPointF& p : drawn.Points) {
            if (p.x() < d.xMin || p.x() > d.xMax)
                continue;
            auto [it, added] = kept.try_emplace(ColumnOf(p.x(), d), p.y(), p.y());
            it->second.first = std::min(it->second.first, p.y());
            it->second.second = std::max(it->second.second, p.y());
        }
        EXPECT_EQ(kept, expected);
        EXPECT_TRUE(drawn.Merged);
        if (d.sorted) {
            EXPECT_LE(drawn.Points.size(), 2 * d.columns + 2);
            EXPECT_TRUE(std::is_sorted(drawn.Points.begin(), drawn.Points.end(),
                                       [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
        }
    }
}

TEST(ChartDecimation, LinesRunOnToTheEdgesThroughTheNearestPointsOutside)
{
    const std::vector<QPointF> points = SecondPoints(100);
    const TDecimation drawn = DecimateForColumns(points, true, 1, 20, 30, 10);
    ASSERT_GE(drawn.Points.size(), 2);
    // The last point before the range and the first after it, exactly.
    EXPECT_EQ(drawn.Points.front(), points[20 * 60 - 1]);
    EXPECT_EQ(drawn.Points.back(), points[30 * 60 + 1]);
}

TEST(ChartDecimation, SparsePointsStayAsTheyAre)
{
    const std::vector<QPointF> points = {{0, 1}, {10, 5}, {20, 2}, {30, 8}, {40, 3}};
    const TDecimation drawn = DecimateForColumns(points, true, 0.5, 0, 20, 100);
    const QList<QPointF> expected = {{0, 1}, {5, 5}, {10, 2}, {15, 8}, {20, 3}};
    EXPECT_EQ(drawn.Points, expected);
    EXPECT_FALSE(drawn.Merged);
}

TEST(ChartDecimation, UnsortedRunKeepsItsPath)
{
    // Back and forth across the range: the order of the points is kept.
    const std::vector<QPointF> points = {{1, 1}, {9, 2}, {2, 3}, {8, 4}, {-5, 5}, {15, 6}};
    const TDecimation drawn = DecimateForColumns(points, false, 1, 0, 10, 100);
    const QList<QPointF> expected(points.begin(), points.end());
    EXPECT_EQ(drawn.Points, expected);
}

TEST(ChartDecimation, EmptyInputDrawsNothing)
{
    EXPECT_TRUE(DecimateForColumns({}, true, 1, 0, 10, 100).Points.isEmpty());
    const std::vector<QPointF> before = {{1, 1}, {2, 2}};
    // Only points left of the range: the nearest stays, so a line can run in from it.
    EXPECT_EQ(DecimateForColumns(before, true, 1, 5, 10, 100).Points, QList<QPointF>({{2, 2}}));
}

} // namespace
