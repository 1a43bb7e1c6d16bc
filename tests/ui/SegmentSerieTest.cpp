#include "core/UserMessages.h"
#include "ui/SegmentSerie.h"

#include <gtest/gtest.h>

namespace {

using Points = std::vector<QPointF>;

TEST(SegmentSerie, StepsHoldThenJumpRampsRunStraightAndTheLastFlowRunsOn)
{
    struct Case {
        const char* name;
        const char* program;
        Points points;
    };
    const Case cases[] = {
        {"demo", "0 0 Step\r\n4 30 Ramp\r\n7 10 Ramp", {{0, 0}, {0, 0}, {0, 0}, {4, 30}, {7, 10}, {7.07, 10}}},
        {"step after a ramp holds the ramp's end", "0 0 Ramp\r\n5 50 Step\r\n8 20 Step",
         {{0, 0}, {5, 0}, {5, 50}, {8, 50}, {8, 20}, {8.08, 20}}},
        {"first step starts from zero", "2 40 Step", {{0, 0}, {2, 0}, {2, 40}, {2.02, 40}}},
        {"first ramp above zero starts from the origin", "10 100 Ramp", {{0, 0}, {10, 100}, {10.1, 100}}},
        {"first ramp at zero flow needs no origin", "2 0 Ramp\r\n4 60 Ramp", {{2, 0}, {4, 60}, {4.04, 60}}},
        {"first ramp at time zero needs no origin", "0 50 Ramp", {{0, 50}, {0, 50}}},
        {"type words are exact", "1 10 Step\r\n2 20 ramp\r\n3 30 Ramp",
         {{0, 0}, {1, 0}, {1, 10}, {3, 30}, {3.03, 30}}},
        {"note does not matter", "1 10 Step Some_note", {{0, 0}, {1, 0}, {1, 10}, {1.01, 10}}},
        {"empty program", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SegmentSeriePoints(QString::fromLatin1(c.program), tspttKeep), c.points);
    }
}

TEST(SegmentSerie, UnreadableLinesDrawNothing)
{
    MessageCapture messages;
    const Points points = SegmentSeriePoints(QStringLiteral("1 10 Step\r\nabc 20 Step\r\n3 30 Ramp"), tspttKeep);
    EXPECT_EQ(points, (Points{{0, 0}, {1, 0}, {1, 10}, {3, 30}, {3.03, 30}}));
    EXPECT_FALSE(messages.Texts().isEmpty());
}

TEST(SegmentSerie, SymbolByDeviceType)
{
    EXPECT_EQ(SegmentSerieSymbol(dtMFCA), TPointSymbol::Circle);
    EXPECT_EQ(SegmentSerieSymbol(dtMFCB), TPointSymbol::Square);
    EXPECT_EQ(SegmentSerieSymbol(dtMFCC), TPointSymbol::Star);
    EXPECT_EQ(SegmentSerieSymbol(dtMFCD), TPointSymbol::Triangle);
    EXPECT_EQ(SegmentSerieSymbol(dtPump), TPointSymbol::Diamond);
    EXPECT_FALSE(SegmentSerieSymbol(dtMFCDemo));
}

} // namespace
