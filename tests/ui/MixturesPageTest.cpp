// The Mixtures page in the main window: the recipe evaluated on every change of it or of the
// mixture's name, and "Add" writing the recipe into the named devices' programs.
#include "WindowDevices.h"

#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"
#include "ui/MessageLog.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/MixturesPage.h"
#include "ui/widgets/NumberBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// COM6: Air, COM7: nitrogen, both 50 SCCM in ml/min; the demo controller COMX is focused.
class MixturesPageTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        AddToWindow(*window, ConfiguredController("COM6", 0));
        AddToWindow(*window, ConfiguredController("COM7", 8));
        SelectInWindow(*window, {"COMX"});
    }

    MixturesPage& Page() { return window->Mixtures(); }
    QStringList ResultLines() { return Page().MemoMixResult->toPlainText().split(u'\n'); }
};

TEST_F(MixturesPageTest, RecipeOrNameChangesReEvaluateAtOnce)
{
    EXPECT_EQ(Page().MemoMixRecipe->toPlainText(), "COM6 50");
    EXPECT_EQ(Page().EditMixtureName->text(), "Name");
    EXPECT_FALSE(Page().MixRecipeValid);
    EXPECT_TRUE(Page().MemoMixResult->toPlainText().isEmpty());

    Page().EditMixtureName->setText("Dry air");
    EXPECT_TRUE(Page().MixRecipeValid);
    ASSERT_GE(ResultLines().size(), 4);
    EXPECT_EQ(ResultLines().mid(0, 4),
              (QStringList{"Mixture: 'Dry air'", "", "  Inputs:", "    Air           0.029 481 g/min"}));

    struct Case {
        const char* recipe;
        const char* result; // the whole result memo for an error, else its first line
        bool valid;
    };
    const Case cases[] = {
        {"COM6 50\nCOM7 5,5", "Illegal character ',' on line: 2\n", false},
        {"COM6 50\nCOM6 -5\nCOM7 20", "Invalid setpoint on line 2\n", false},
        {"COM6 50\nCOM9 5", "No device on port: COM9\n", false},
        {"COM6 50\n\nCOM7 12.5 R", "Mixture: 'Dry air'", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe);
        Page().MemoMixRecipe->setPlainText(QString::fromLatin1(c.recipe));
        EXPECT_EQ(Page().MixRecipeValid, c.valid);
        if (c.valid)
            EXPECT_EQ(ResultLines().front(), c.result);
        else
            EXPECT_EQ(Page().MemoMixResult->toPlainText(), c.result);
    }
}

TEST_F(MixturesPageTest, AddWritesEachNamedProgramAtTheTypedTimeAndShowsTheDevices)
{
    window->SetTimeUnit("HOUR");
    EXPECT_EQ(Page().LabelMixSegmentsAddTime->text(), "Time, h");
    Page().MemoMixRecipe->setPlainText("COM6 50 Ramp\nCOM7 12.5 R");
    ASSERT_TRUE(Page().MixRecipeValid);
    Page().RtDoubleEditMixSegmentsAddTime->SetValue(1.5);
    Page().EditNoteMixture->setText("wet run");
    // The devices the Configure page shows, in turn.
    QStringList shownNames;
    QObject::connect(window->Configure().EditDeviceName, &QLineEdit::textChanged,
                     [&](const QString& name) { shownNames << name; });
    Page().ButtonMixSegmentsAdd->click();

    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();
    // 1.5 hours are minute 90; only a lone R ramps.
    EXPECT_EQ(DeviceOn("COM6").SegmentProgram, "90 50 Step wet_run\r\n");
    EXPECT_EQ(DeviceOn("COM7").SegmentProgram, "90 12.5 Ramp wet_run\r\n");
    const QString log = window->MemoMain().Text();
    for (const char* line : {"Segment Program Modify for Device: COM6", "Try adding: 90 12.5 Ramp wet_run"})
        EXPECT_TRUE(log.contains(QString::fromLatin1(line))) << line;
    // Each changed device was shown: the Configure page showed it, its requested flow is drawn
    // on the chart from its new program (a step at minute 90, a ramp up to it, each kept on
    // past its last point), and the pages ended on the focused device again.
    EXPECT_EQ(shownNames, QStringList({"Gas COM6", "Gas COM7", "Virtual Demo"}));
    const struct {
        const char* port;
        std::vector<QPointF> drawn;
    } drawn[] = {
        {"COM6", {{0, 0}, {90, 0}, {90, 50}, {90.9, 50}}},
        {"COM7", {{0, 0}, {90, 12.5}, {90.9, 12.5}}},
    };
    for (const auto& device : drawn) {
        const TDeviceInfo shown = DeviceOn(device.port);
        ASSERT_NE(shown.SerieSegment, nullptr) << device.port;
        EXPECT_EQ(window->Chart().Points(DeviceSeries::IdOf(shown.SerieSegment)), device.drawn) << device.port;
    }
    EXPECT_EQ(window->Configure().EditDeviceName->text(), "Virtual Demo");
}

TEST_F(MixturesPageTest, AddRefusesAnInvalidRecipe)
{
    Page().MemoMixRecipe->setPlainText("COM6 50\nCOM7 5x");
    ASSERT_FALSE(Page().MixRecipeValid);
    EXPECT_EQ(Page().MemoMixResult->toPlainText(), "Cannot convert '5x' to a number\n");
    Page().ButtonMixSegmentsAdd->click();
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot add invalid recipe"});
    EXPECT_TRUE(DeviceOn("COM6").SegmentProgram.isEmpty());
}

} // namespace
