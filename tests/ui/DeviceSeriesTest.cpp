// The devices' chart series: the requested flow drawn from a segment program, the achieved
// flow point by point, one series each for the life of the chart.
#include "WindowTestSupport.h"

#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"

namespace {

class DeviceSeriesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDevicesLocal(); }
    void TearDown() override { ResetDevicesLocal(); }

    std::vector<QPointF> Requested(const QString& program)
    {
        TDeviceInfo& device = DevicesLocal[0];
        device.SegmentProgram = program;
        series.SegmentSerie(device, false);
        return chart.Points(DeviceSeries::IdOf(DevicesLocal[0].SerieSegment));
    }

    FlowChart chart;
    DeviceSeries series{chart};
};

TEST_F(DeviceSeriesTest, RequestedFlowDrawsStepsRampsAndTheKeptLastFlow)
{
    struct Case {
        const char* program;
        std::vector<QPointF> points;
    };
    const Case cases[] = {
        {"0 0 Step\r\n4 30 Ramp\r\n7 10 Ramp", {{0, 0}, {0, 0}, {0, 0}, {4, 30}, {7, 10}, {7.07, 10}}},
        {"2 50 Step\r\n5 20 Step", {{0, 0}, {2, 0}, {2, 50}, {5, 50}, {5, 20}, {5.05, 20}}},
        {"3 40 Ramp", {{0, 0}, {3, 40}, {3.03, 40}}},
        {"0 40 Ramp", {{0, 40}, {0, 40}}},
        {"3 0 Ramp", {{3, 0}, {3.03, 0}}},
        {"1 10 Hold\r\n2 20 Ramp", {{2, 20}, {2.02, 20}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::vector<QPointF> points = Requested(QString::fromLatin1(c.program));
        ASSERT_EQ(points.size(), c.points.size()) << c.program;
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_DOUBLE_EQ(points[i].x(), c.points[i].x()) << c.program << " point " << i;
            EXPECT_DOUBLE_EQ(points[i].y(), c.points[i].y()) << c.program << " point " << i;
        }
    }
}

TEST_F(DeviceSeriesTest, OneSeriesPerDeviceStyledByItsColourAndType)
{
    TDeviceInfo copy = DevicesLocal[0];
    series.SegmentSerie(copy, false);
    ASSERT_NE(copy.SerieSegment, nullptr);
    // A copy taken before the series existed still finds it through the stored record.
    TDeviceInfo older = DevicesLocal[0];
    older.SerieSegment = nullptr;
    series.SegmentSerie(older, false);
    EXPECT_EQ(older.SerieSegment, copy.SerieSegment);

    TDeviceInfo& device = DevicesLocal[0];
    device.ControlMode = dcmDirect;
    series.FlowSerie(device, 1, 10, false);
    const SeriesId flow = DeviceSeries::IdOf(device.SerieFlow);
    TSeriesStyle style = chart.SeriesStyle(flow);
    EXPECT_EQ(style.LineColor, QColor::fromRgba(NamedColor::Purple));
    EXPECT_EQ(style.LineWidth, 3);
    EXPECT_TRUE(style.SymbolsVisible);
    EXPECT_EQ(style.Symbol, TPointSymbol::Circle);
    EXPECT_FALSE(chart.SeriesStyle(DeviceSeries::IdOf(copy.SerieSegment)).SymbolsVisible);

    device.Color = NamedColor::Blue;
    device.DevType = dtMFCC;
    series.FlowSerie(device, 2, 20, false);
    EXPECT_EQ(DeviceSeries::IdOf(device.SerieFlow), flow);
    style = chart.SeriesStyle(flow);
    EXPECT_EQ(style.LineColor, QColor::fromRgba(NamedColor::Blue));
    EXPECT_EQ(style.Symbol, TPointSymbol::Star);
    EXPECT_EQ(chart.Points(flow).size(), 2u);

    // An idle device gets no point; Clear empties the series.
    device.ControlMode = dcmIdle;
    series.FlowSerie(device, 3, 30, false);
    EXPECT_EQ(chart.Points(flow).size(), 2u);
    device.ControlMode = dcmSegment;
    series.FlowSerie(device, 0, 0, true);
    EXPECT_TRUE(chart.Points(flow).empty());

    const std::pair<tDeviceType, TPointSymbol> symbols[] = {
        {dtMFCA, TPointSymbol::Circle},   {dtMFCB, TPointSymbol::Square}, {dtMFCC, TPointSymbol::Star},
        {dtMFCD, TPointSymbol::Triangle}, {dtPump, TPointSymbol::Diamond}, {dtMFCDemo, TPointSymbol::Circle},
    };
    for (const auto& [type, symbol] : symbols)
        EXPECT_EQ(DeviceSeries::SymbolOf(type), symbol) << type;
}

TEST_F(DeviceSeriesTest, AFieldChangedBeforeFlowSerieIsStoredWithTheSeries)
{
    TDeviceInfo copy = DevicesLocal[1];
    copy.ControlMode = dcmSegment;
    copy.FlowStartTime = 1234;
    series.FlowSerie(copy, 0, 0, true);
    TDeviceInfo stored;
    ASSERT_TRUE(GetDeviceByPort("COMY", stored));
    EXPECT_EQ(stored.ControlMode, dcmSegment);
    EXPECT_EQ(stored.FlowStartTime, 1234);
    EXPECT_EQ(stored.SerieFlow, copy.SerieFlow);
    ASSERT_NE(copy.SerieFlow, nullptr);
}

} // namespace
