// The mix designer in the main window: rows for the selected devices, the time moving them
// along their programs and the chart's time marker, the operator's changes of a row, and the
// mixture report.
#include "MixtureReportLines.h"
#include "core/LogCapture.h"
#include "WindowDevices.h"

#include "ui/FlowChart.h"
#include "ui/pages/DesignerHumidity.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/HumidityTargetPanel.h"
#include "ui/widgets/NumberBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSlider>

namespace {

// COM6 nitrogen ramping to 40 % at 10 minutes and holding until 20; COM7 Air ramping to 80 %
// at 10 minutes. Both 50 SCCM in ml/min; both selected, COM7 focused.
class DesignerPageTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        TDeviceInfo nitrogen = ConfiguredController("COM6", 8);
        nitrogen.SegmentProgram = "10 40 Ramp\r\n20 40 Step";
        TDeviceInfo air = ConfiguredController("COM7", 0);
        air.SegmentProgram = "10 80 Ramp";
        AddToWindow(*window, nitrogen);
        AddToWindow(*window, air);
        SelectInWindow(*window, {"COM6", "COM7"});
    }

    DesignerPage& Page() { return window->Designer(); }
    QString Report() { return Page().MemoMixDesigner->toPlainText(); }

    // Types the text into the box key by key, as the operator does, after selecting all of it.
    static void Type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(box, &press);
            QCoreApplication::sendEvent(box, &release);
        }
    }

    // The fraction column of the component's single report line ("0.860 000").
    void ExpectFractions(const char* nitrogen, const char* oxygen)
    {
        const QStringList n2 = ComponentLines(Report(), "N2");
        const QStringList o2 = ComponentLines(Report(), "O2");
        ASSERT_EQ(n2.size(), 1) << Report().toStdString();
        ASSERT_EQ(o2.size(), 1) << Report().toStdString();
        EXPECT_TRUE(n2[0].trimmed().endsWith(nitrogen)) << n2[0].toStdString();
        EXPECT_TRUE(o2[0].trimmed().endsWith(oxygen)) << o2[0].toStdString();
    }
};

TEST_F(DesignerPageTest, SelectedDevicesGetARowEachAndTheTimeSliderCoversTheLongestProgram)
{
    const QList<QGroupBox*> rows = Page().Rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->title(), "COM6 - N2 - ml/min");
    EXPECT_EQ(rows[1]->title(), "COM7 - Mixture - ml/min"); // Air is a mixture
    ASSERT_NE(Page().RowSlider("COM6"), nullptr);
    ASSERT_NE(Page().RowFlowBox("COM7"), nullptr);
    EXPECT_EQ(Page().RowFlowBox("COM7")->Maximum(), 50);
    EXPECT_EQ(Page().RowSlider("COM6")->maximum(), 100);
    // The longest program ends at 20 minutes: the slider counts tenths up to 21 minutes.
    EXPECT_EQ(Page().TrackBarDesignerTime->maximum(), 210);
    EXPECT_EQ(Page().TrackBarDesignerTime->singleStep(), 1);
    EXPECT_EQ(Page().TrackBarDesignerTime->pageStep(), 10);

    // Deselecting one removes its row; deselecting all leaves the report as it was.
    SelectInWindow(*window, {"COM7"});
    ASSERT_EQ(Page().Rows().size(), 1);
    EXPECT_EQ(Page().RowSlider("COM6"), nullptr);
    const QString before = Report();
    SelectInWindow(*window, {});
    EXPECT_TRUE(Page().Rows().isEmpty());
    EXPECT_EQ(Report(), before);
}

TEST_F(DesignerPageTest, TimeMovesTheRowsAlongTheirProgramsAndMarksTheChart)
{
    Page().RtDoubleEditDesignMixTime->SetValue(5);
    EXPECT_EQ(Page().RowSlider("COM6")->value(), 20);
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM6")->Value(), 10);
    EXPECT_EQ(Page().RowSlider("COM7")->value(), 40);
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM7")->Value(), 20);
    // The first series of the chart is the time marker: a vertical line at the time.
    EXPECT_EQ(window->Chart().Points(0), (std::vector<QPointF>{{5, 0}, {5, 100}, {5, 0}}));
    // 20 % nitrogen and 40 % Air of equal full scales: nitrogen once, its flows added.
    ExpectFractions("0.860 000", "0.140 000");

    // The slider moves the time box in tenths of a minute.
    Page().TrackBarDesignerTime->setValue(150);
    EXPECT_DOUBLE_EQ(Page().RtDoubleEditDesignMixTime->Value(), 15);
    EXPECT_EQ(Page().RowSlider("COM6")->value(), 40);
    EXPECT_EQ(Page().RowSlider("COM7")->value(), 0); // its program ended at 10 minutes
}

TEST_F(DesignerPageTest, TypedTimeBeyondTheSliderWidensItAndRowsAfterTheirProgramsStandAtZero)
{
    Type(Page().RtDoubleEditDesignMixTime, "25.55");
    EXPECT_DOUBLE_EQ(Page().RtDoubleEditDesignMixTime->Value(), 25.55);
    EXPECT_EQ(Page().TrackBarDesignerTime->maximum(), 260);
    EXPECT_EQ(Page().TrackBarDesignerTime->value(), 256);
    // The slider's rounding does not come back into the typed time.
    EXPECT_DOUBLE_EQ(Page().RtDoubleEditDesignMixTime->Value(), 25.55);
    for (const char* port : {"COM6", "COM7"}) {
        EXPECT_EQ(Page().RowSlider(port)->value(), 0) << port;
        EXPECT_EQ(Page().RowFlowBox(port)->Value(), 0) << port;
    }
    EXPECT_DOUBLE_EQ(window->Chart().Points(0).front().x(), 25.55);
}

TEST_F(DesignerPageTest, OperatorChangesOfARowShowTheNewMixture)
{
    Page().RtDoubleEditDesignMixTime->SetValue(5);

    // A slider moved (mouse or keyboard) sets the flow and shows the mixture: 20 % nitrogen and
    // 100 % Air give 0.2 + 0.79 parts nitrogen of 1.2.
    Page().RowSlider("COM7")->setValue(100);
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM7")->Value(), 50);
    ExpectFractions("0.825 000", "0.175 000");

    // A typed flow moves the slider: 25 ml/min is 50 %.
    Type(Page().RowFlowBox("COM7"), "25");
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM7")->Value(), 25);
    EXPECT_EQ(Page().RowSlider("COM7")->value(), 50);
    ExpectFractions("0.850 000", "0.150 000");

    // Below a ten-thousandth of the full scale a typed flow snaps to 0 or to that amount.
    Type(Page().RowFlowBox("COM7"), "0.003");
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM7")->Value(), 0.005);
    Type(Page().RowFlowBox("COM7"), "0.002");
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM7")->Value(), 0);
    EXPECT_EQ(Page().RowSlider("COM7")->value(), 0);
    ExpectFractions("1.000 000", "0.000 000");
}

TEST_F(DesignerPageTest, ARowFollowsTheInputFocus)
{
    window->show();
    window->activateWindow();
    window->Pages().setCurrentWidget(&Page());
    QCoreApplication::processEvents();
    QSlider& slider = *Page().RowSlider("COM7");
    NumberBox& flow = *Page().RowFlowBox("COM7");
    const LogCapture log(LogCategory::MainForm);

    // Neither focused (the mouse drags the slider): the slider sets the box.
    slider.setValue(40);
    EXPECT_DOUBLE_EQ(flow.Value(), 20);
    // The slider focused (keyboard): likewise, logged as the operator's own change.
    slider.setFocus();
    slider.setValue(60);
    EXPECT_DOUBLE_EQ(flow.Value(), 30);
    // The box focused: a slider that moves meanwhile leaves the typed value alone, and a typed
    // value moves the slider.
    flow.setFocus();
    slider.setValue(80);
    EXPECT_DOUBLE_EQ(flow.Value(), 30);
    Type(&flow, "10");
    EXPECT_EQ(slider.value(), 20);

    QStringList focusLines;
    for (const QString& line : log.Lines())
        if (line.startsWith("Wanted") || line.startsWith("Trackbar") || line.startsWith("DBEdit"))
            focusLines << line;
    EXPECT_EQ(focusLines, (QStringList{"Trackbar mouseover => Do alter DoubleEdit value.",
                                       "Wanted & changed DoubleEdit value.", "DBEdit has focus", "DBEdit has focus"}))
        << focusLines.join(" | ").toStdString();
}

TEST_F(DesignerPageTest, TimeUnitShowsTheSameMomentInHours)
{
    Page().RtDoubleEditDesignMixTime->SetValue(15);
    window->SetTimeUnit("HOUR");
    EXPECT_EQ(Page().MixDesignGroupBox->title(), "Time, h");
    EXPECT_DOUBLE_EQ(Page().RtDoubleEditDesignMixTime->Value(), 0.25);
    EXPECT_DOUBLE_EQ(Page().TimeMinutes(), 15);
    // 20 minutes are a third of an hour: the slider ends one hour on, and stands at 0.2 hours.
    EXPECT_EQ(Page().TrackBarDesignerTime->maximum(), 10);
    EXPECT_EQ(Page().TrackBarDesignerTime->value(), 2);
    Page().RtDoubleEditDesignMixTime->SetValue(0.1);
    EXPECT_EQ(Page().RowSlider("COM6")->value(), 24); // 6 minutes up the ramp to 40 % at 10
}

TEST_F(DesignerPageTest, HumidityTargetSetsTheChosenPumpsRowOrSaysWhyNot)
{
    AddToWindow(*window, ConfiguredPump("COM5"));
    AddToWindow(*window, ConfiguredPump("COM4"));
    SelectInWindow(*window, {"COM6", "COM7", "COM5", "COM4"});
    Page().RtDoubleEditDesignMixTime->SetValue(5); // COM6 at 10 ml/min, COM7 at 20, the pumps at 0
    HumidityTargetPanel& panel = *Page().HumidityTarget;
    ASSERT_EQ(panel.ComboBoxHumidityPump->count(), 2);
    EXPECT_TRUE(panel.ComboBoxHumidityPump->isEnabled()); // two pumps: the operator picks one
    panel.ComboBoxHumidityPump->setCurrentIndex(1);
    EXPECT_EQ(panel.PumpPort(), "COM4");

    // A target the pump cannot reach changes nothing and says why.
    panel.RtDoubleEditHumidityValue->SetValue(120);
    const QString before = Report();
    panel.ButtonHumiditySetPump->click();
    EXPECT_TRUE(panel.LabelHumidityOutcome->text().contains("water would condense"))
        << panel.LabelHumidityOutcome->text().toStdString();
    EXPECT_EQ(Page().RowFlowBox("COM4")->Value(), 0);
    EXPECT_EQ(Report(), before);

    // 50 % RH at 30 °C and 1.2 bar: COM4's row goes to the setpoint found, COM5 stays.
    panel.RtDoubleEditHumidityValue->SetValue(50);
    panel.RtDoubleEditHumidityTemperature->SetValue(30);
    panel.RtDoubleEditHumidityPressure->SetValue(1.2);
    panel.ButtonHumiditySetPump->click();
    const TDesignerHumidity expected = DesignerHumidityTarget(
        {{"COM6", 10}, {"COM7", 20}, {"COM5", 0}, {"COM4", 0}}, "COM4", {THumidityTargetKind::RelativeHumidity, 50, 30, 1.2});
    ASSERT_TRUE(expected.Valid) << expected.Lines.join(u'\n').toStdString();
    EXPECT_EQ(panel.LabelHumidityOutcome->text(), expected.Lines.join(u'\n'));
    EXPECT_DOUBLE_EQ(Page().RowFlowBox("COM4")->Value(), expected.PumpRowFlow);
    EXPECT_EQ(Page().RowSlider("COM4")->value(), int(std::nearbyint(expected.Solution.Setpoint_pct)));
    EXPECT_EQ(Page().RowFlowBox("COM5")->Value(), 0);
    // The report follows, with the target's condition among the humidity rows.
    EXPECT_TRUE(Report().contains("  Mixture has fluid:\n")) << Report().toStdString();
    EXPECT_TRUE(Report().contains("\n    30       1.2  ")) << Report().toStdString();
}

} // namespace
