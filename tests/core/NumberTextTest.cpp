#include "core/Errors.h"
#include "core/NumberText.h"
#include "QStringPrinter.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <gtest/gtest.h>

namespace {

// Runs each case under a point locale and a comma locale.
class NumberTextTest : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override
    {
        saved = QLocale();
        QLocale::setDefault(QLocale(GetParam(), GetParam() == QLocale::German ? QLocale::Germany : QLocale::UnitedStates));
        sep = QLocale().decimalPoint();
    }
    void TearDown() override { QLocale::setDefault(saved); }
    QString Local(QString text) const { return text.replace(u'.', sep); }

    QLocale saved;
    QString sep;
};

TEST_P(NumberTextTest, PatternsFlowDigitsAroundLiteralBlanks)
{
    struct Case {
        const char* pattern;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"0.000 000", 0.21, "0.210 000"},
        {"0.000 000", 28.85064, "28.850 640"},
        {"# ### ###", 1234567, "1 234 567"},
        {"# ### ###", 31285.4, "31 285"},
        {"# ### ###", 123, "123"},
        {"##0.000 000", 1.5, "1.500 000"},
        {"#.#", 21, "21"},
        {"#.#", 7.5, "7.5"},
        {"#.#", 0.1, ".1"},
        {"0.0#####", 1, "1.0"},
        {"0.0#####", 1.23456789, "1.234568"},
        {"0.0#####", -0.5, "-0.5"},
        {"0.0## ###", 0.5, "0.5"},
        {"0.0## ###", 0.1234567, "0.123 457"},
        {"### ##0.### ### ###", 1234.5, "1 234.5"},
        {"### ##0.### ### ###", 0.123456789, "0.123 456 789"},
        {"0.000", 0.0005, "0.001"},
        {"0.0", 0.05, "0.1"},
        {"0.0", 9.96, "10.0"},
        {"0.0", -0.04, "0.0"},
        {"0.000", 4, "4.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(QString::fromLatin1(c.pattern), c.value), Local(QString::fromLatin1(c.expected)))
            << c.pattern << " " << c.value;
}

TEST_P(NumberTextTest, GeneralFormIsShortestWithFifteenDigits)
{
    EXPECT_EQ(FloatToStr(0.5), Local("0.5"));
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(-1), "-1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), Local("0.3"));
    EXPECT_EQ(FloatToStr(1.0 / 3.0), Local("0.333333333333333"));
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStrDot(12.5), "12.5") << "stored texts keep a point in every locale";
}

TEST_P(NumberTextTest, EveryFiniteValueReadsBackAsTheNumberWritten)
{
    // Fifteen digits of the largest doubles round past the largest double.
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::max()), Local("1.7976931348623157E308"));
    EXPECT_EQ(FloatToStrDot(-std::numeric_limits<double>::max()), "-1.7976931348623157E308");
    const double values[] = {
        std::numeric_limits<double>::max(), std::nextafter(std::numeric_limits<double>::max(), 0.0),
        1.797693134862315e308, 1.79769313486231e308, -1.7976931348623e308,
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e-320,
        0.1 + 0.2, 1.0 / 3.0, -0.0, 5259600,
    };
    for (double value : values) {
        const QString text = FloatToStr(value);
        double read = 0;
        ASSERT_TRUE(TryStrToFloatLocale(text, read)) << text.toStdString();
        EXPECT_EQ(FloatToStr(read), text);
        EXPECT_LE(std::fabs(read - value), std::fabs(value) * 1e-14) << text.toStdString();
    }
}

TEST_P(NumberTextTest, DotReadingIgnoresLocale)
{
    EXPECT_DOUBLE_EQ(StrToFloatDot("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloatDot(" -3 "), -3);
    EXPECT_DOUBLE_EQ(StrToFloatDot("+014.70"), 14.7);
    EXPECT_DOUBLE_EQ(StrToFloatDot(".5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloatDot("1e3"), 1000);
    for (const char* bad : {"", "12,5", "abc", "1.2.3", "1 2", "nan", "inf", "1e999", "--1"})
        EXPECT_THROW(StrToFloatDot(QString::fromLatin1(bad)), ConvertError) << bad;
}

TEST_P(NumberTextTest, AnySeparatorReadsCommaAndPoint)
{
    EXPECT_DOUBLE_EQ(StrToFloatAnySep("2,5"), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloatAnySep("2.5"), 2.5);
    EXPECT_THROW(StrToFloatAnySep("1.234,5"), ConvertError);
    double v = 0;
    EXPECT_TRUE(TryStrToFloatLocale(Local("3.25"), v));
    EXPECT_DOUBLE_EQ(v, 3.25);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextTest, ::testing::Values(QLocale::English, QLocale::German));

} // namespace
