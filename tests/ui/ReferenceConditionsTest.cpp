#include "core/PointAndCommaLocales.h"
#include "core/QStringPrinter.h"
#include "ui/pages/ReferenceConditions.h"

#include <gtest/gtest.h>

namespace {

TEST(ReferenceConditions, ListHasTheHeaderAndTwentyOneConditionsInFixedColumns)
{
    const QStringList lines = ReferenceConditionLines();
    ASSERT_EQ(lines.size(), 22);
    EXPECT_EQ(lines[0], QStringLiteral("\u00BAC    \u00BAF     Bar      Standard"));
    EXPECT_EQ(lines[1], QStringLiteral("n/a    n/a   n/a      g, grams"));
    EXPECT_EQ(lines[3], QStringLiteral("20     68    1.01325  EPA, NIST"));
    EXPECT_EQ(lines[13], QStringLiteral("15.56  60    1.0133   SPE, U.S. OSHA, SCAQMD"));
    EXPECT_EQ(lines[20],
              QStringLiteral("21.11  70    1.013    AMCA, air density = 0.075 lbm/ft3. This AMCA standard applies only to air;"));
    EXPECT_EQ(lines[21], QStringLiteral("22     71.6  1.01325  American Association of Physicists in Medicine (RH: 20-80%)"));
}

TEST(ReferenceConditions, GramsHidesTheConditionBoxesAndLeavesTheirValues)
{
    const auto choice = ReferenceConditionChoice(ReferenceConditionGramsLine);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->UnitName, QStringLiteral("g/min"));
    EXPECT_FALSE(choice->ConditionBoxesVisible);
    EXPECT_FALSE(choice->Temperature);
    EXPECT_FALSE(choice->Pressure_BarA);
}

TEST(ReferenceConditions, AConditionLineGivesItsFirstAndThirdWord)
{
    struct Case {
        int line;
        double temperature;
        double pressure;
    };
    const Case cases[] = {
        {2, 0, 1.01325}, {3, 20, 1.01325}, {5, 0, 1}, {7, 15, 0.9999}, {15, 15.56, 1.0135}, {21, 22, 1.01325},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto choice = ReferenceConditionChoice(c.line);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->Temperature, c.temperature);
        EXPECT_EQ(choice->Pressure_BarA, c.pressure);
        EXPECT_EQ(choice->UnitName, QStringLiteral("ml/min"));
        EXPECT_TRUE(choice->ConditionBoxesVisible);
    }
    // Every condition line reads, whatever its column widths.
    for (int line = 2; line < ReferenceConditionLines().size(); ++line)
        EXPECT_TRUE(ReferenceConditionChoice(line) && ReferenceConditionChoice(line)->Pressure_BarA > 0.99) << line;
}

TEST(ReferenceConditions, TheEpaLineReadsAs68FahrenheitAnd14Psi)
{
    const auto choice = ReferenceConditionChoice(3);
    ASSERT_TRUE(choice && choice->Temperature && choice->Pressure_BarA);
    EXPECT_EQ(FahrenheitText(*choice->Temperature), QStringLiteral("68\u00BAF"));
    EXPECT_EQ(PsiText(*choice->Pressure_BarA), QLocale().toString(14.696, 'f', 3) + QStringLiteral(" psi"));
}

TEST(ReferenceConditions, HeaderAndLinesOutsideTheListChooseNothing)
{
    for (int line : {-1, 0, 22, 1000})
        EXPECT_FALSE(ReferenceConditionChoice(line)) << line;
}

class ReferenceConditionLabels : public PointAndCommaLocales {};

TEST_P(ReferenceConditionLabels, FahrenheitAndPsiInTheUsersLocale)
{
    // The EPA line: 20 °C and 1.01325 bar.
    EXPECT_EQ(FahrenheitText(20), QStringLiteral("68\u00BAF"));
    EXPECT_EQ(PsiText(1.01325), Local(QStringLiteral("14@696 psi")));
    EXPECT_EQ(FahrenheitText(22), Local(QStringLiteral("71@6\u00BAF")));
    EXPECT_EQ(FahrenheitText(-273.15), Local(QStringLiteral("-459@67\u00BAF")));
    EXPECT_EQ(PsiText(0), Local(QStringLiteral("0@000 psi")));
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(ReferenceConditionLabels);

} // namespace
