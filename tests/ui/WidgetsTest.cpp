#include "ui/widgets/ColorPicker.h"
#include "ui/widgets/Led.h"
#include "ui/widgets/NumberBox.h"
#include "ui/widgets/RichTextLabel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

QColor CentreOf(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(Led, ShowsItsOnAndOffColours)
{
    QWidget strip;
    auto* led = new Led(&strip);
    led->SetLedSize(32);
    strip.resize(100, 40);
    strip.show();
    EXPECT_EQ(led->size(), QSize(32, 32));
    EXPECT_EQ(CentreOf(*led), QColor(192, 192, 192));
    led->SetOn(true);
    EXPECT_EQ(CentreOf(*led), QColor(0, 255, 0));
    led->SetOffColor(QColor(200, 30, 40)); // a device colour
    led->SetOn(false);
    EXPECT_EQ(CentreOf(*led), QColor(200, 30, 40));
    led->SetOnColor(Qt::blue);
    led->SetOn(true);
    EXPECT_EQ(CentreOf(*led), QColor(Qt::blue));
}

// Runs a test body under a point locale and under a comma locale.
class NumberBoxTest : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override
    {
        saved = QLocale();
        QLocale::setDefault(QLocale(GetParam(), GetParam() == QLocale::German ? QLocale::Germany : QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(saved); }
    static QString Local(QString text) { return text.replace(u'.', QLocale().decimalPoint()); }

    // Types the text as the operator would, then ends editing.
    static void Type(NumberBox& box, const QString& text)
    {
        box.setFocus();
        box.selectAll();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&box, &press);
        }
    }
    static void Enter(NumberBox& box)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&box, &press);
    }

    QLocale saved;
};

TEST_P(NumberBoxTest, ShowsValuesWithTheLocaleSeparator)
{
    NumberBox box;
    box.SetValue(12.5);
    EXPECT_EQ(box.text(), Local("12.5"));
    box.SetDisplayPattern("0.000");
    EXPECT_EQ(box.text(), Local("12.500"));
    box.SetValue(1.0 / 3);
    EXPECT_EQ(box.text(), Local("0.333"));
    EXPECT_DOUBLE_EQ(box.Value(), 1.0 / 3); // shown rounded, kept exact

    // A full scale keeps at least four significant digits however small, and three decimals.
    box.SetSignificantDigits(4);
    const struct {
        double value;
        const char* shown;
    } fullScales[] = {{0.0041234, "0.004123"}, {0.057252, "0.05725"}, {1.0 / 3, "0.3333"}, {500, "500"},
                      {5000.1234, "5000.123"}, {0, "0"}, {-0.0012346, "-0.001235"}};
    for (const auto& c : fullScales) {
        box.SetValue(c.value);
        EXPECT_EQ(box.text(), Local(c.shown)) << c.value;
    }
}

TEST_P(NumberBoxTest, TypedTextIsReadClampedOrRefused)
{
    struct Case {
        const char* typed;
        double expected;
        const char* shown;
    };
    const Case cases[] = {
        {"12.75", 12.75, "12.75"},
        {"12,75", 12.75, "12.75"}, // either separator
        {" 7 ", 7, "7"},
        {"250", 100, "100"},       // clamped to the maximum
        {"-3", 0, "0"},            // and to the minimum
        {"1e1", 10, "10"},
        {"abc", 42, "42"},         // letters are refused as typed
        {"1.2.3", 42, "42"},       // no number: the value stays
        {"", 42, "42"},
    };
    for (const Case& c : cases) {
        NumberBox box;
        box.SetMaximum(100);
        box.SetMinimum(0);
        box.SetValue(42);
        Type(box, QString::fromLatin1(c.typed));
        Enter(box);
        EXPECT_DOUBLE_EQ(box.Value(), c.expected) << c.typed;
        EXPECT_EQ(box.text(), Local(QString::fromLatin1(c.shown))) << c.typed;
    }
}

TEST_P(NumberBoxTest, ValueFollowsTypingWithinTheLimits)
{
    NumberBox box;
    box.SetMaximum(100);
    std::vector<double> changes;
    QObject::connect(&box, &NumberBox::ValueChanged, [&](double v) { changes.push_back(v); });
    Type(box, Local("5.5"));
    EXPECT_DOUBLE_EQ(box.Value(), 5.5); // already while typing, before editing ends
    Type(box, "500");
    EXPECT_DOUBLE_EQ(box.Value(), 50); // "500" is out of the limits: the last good value stays
    Enter(box);
    EXPECT_DOUBLE_EQ(box.Value(), 100);
    EXPECT_EQ(changes, (std::vector<double>{5, 5.5, 5, 50, 100}));
}

TEST_P(NumberBoxTest, LimitsMoveTheValueAndEachOther)
{
    NumberBox box;
    box.SetValue(80);
    box.SetMaximum(50);
    EXPECT_EQ(box.Value(), 50);
    box.SetMinimum(70); // above the maximum: the maximum follows
    EXPECT_EQ(box.Maximum(), 70);
    EXPECT_EQ(box.Value(), 70);
    box.SetValue(std::nan(""));
    box.SetMaximum(std::nan(""));
    EXPECT_EQ(box.Value(), 70);
    EXPECT_EQ(box.Maximum(), 70);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberBoxTest, ::testing::Values(QLocale::English, QLocale::German));

// Answers the "Custom..." entry with a prepared colour instead of a dialog.
class ScriptedColorPicker : public ColorPicker {
public:
    std::optional<QColor> answer;
    int asked = 0;

protected:
    std::optional<QColor> AskColor(const QColor&) override
    {
        ++asked;
        return answer;
    }
};

int CustomEntry(const ColorPicker& picker)
{
    return picker.findText("Custom...");
}

TEST(ColorPicker, StandardAndCustomColoursWithTransparency)
{
    ScriptedColorPicker picker;
    std::vector<QColor> changes;
    QObject::connect(&picker, &ColorPicker::ColorChanged, [&](const QColor& c) { changes.push_back(c); });

    picker.SetColor(QColor(255, 0, 0));
    EXPECT_EQ(picker.currentText(), "Red");
    const int entries = picker.count();

    const QColor translucent(0, 128, 255, 100);
    picker.SetColor(translucent);
    EXPECT_EQ(picker.count(), entries + 1);
    EXPECT_EQ(picker.Color().rgba(), translucent.rgba());
    EXPECT_TRUE(picker.itemData(picker.currentIndex(), Qt::ToolTipRole).toString().contains("alpha 100 of 255"));
    picker.SetColor(translucent); // known now: no second entry, no change signal
    EXPECT_EQ(picker.count(), entries + 1);
    EXPECT_EQ(CustomEntry(picker), picker.count() - 1);

    // The operator picks "Custom..." and cancels: nothing changes.
    emit picker.activated(CustomEntry(picker));
    EXPECT_EQ(picker.asked, 1);
    EXPECT_EQ(picker.Color().rgba(), translucent.rgba());
    EXPECT_NE(picker.currentIndex(), CustomEntry(picker));

    // ... and chooses a colour.
    picker.answer = QColor(10, 20, 30, 40);
    emit picker.activated(CustomEntry(picker));
    EXPECT_EQ(picker.Color().rgba(), QColor(10, 20, 30, 40).rgba());

    // A standard entry chosen from the list.
    emit picker.activated(picker.findText("Navy"));
    EXPECT_EQ(picker.Color(), QColor(0, 0, 128));

    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[1].alpha(), 100);
    EXPECT_EQ(changes[3], QColor(0, 0, 128));
}

TEST(RichTextLabel, SameTextKeepsTheScrollPosition)
{
    RichTextLabel label;
    label.resize(200, 60);
    label.show();
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("line %1<br/>").arg(i);
    label.SetRichText(text);
    QApplication::processEvents();
    QScrollBar* bar = label.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    label.SetRichText(text); // the pointer moved again over the same control
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(label.PlainText().startsWith("line 0\nline 1"));
    label.SetRichText("<b>other</b>");
    EXPECT_EQ(label.PlainText(), "other");
}

} // namespace
