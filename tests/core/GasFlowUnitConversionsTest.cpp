#include "core/GasFlowUnitConversions.h"

#include "core/NumberText.h"

#include "LogCapture.h"
#include "QStringPrinter.h"
#include "PointAndCommaLocales.h"

#include <cmath>
#include <limits>

namespace {

constexpr double AirMolarMass = 28.9647;

TGasFlowDetails GramsPerMinute(double value = 0)
{
    TGasFlowDetails unit;
    unit.Name = "g/min";
    unit.GasName = "Air";
    unit.GasFlowType = gfuGrams;
    unit.GasFlowTimeUnit = gfMinute;
    unit.GasMolarMass = AirMolarMass;
    unit.GasFlowValue = value;
    return unit;
}

TGasFlowDetails MillilitresPerMinute(double temperatureC = 25, double pressure = 1.01325)
{
    TGasFlowDetails unit;
    unit.Name = "ml/min";
    unit.GasName = "Air";
    unit.GasFlowType = gfuVolumetric;
    unit.GasFlowVolumeUnit = gfvuMLN;
    unit.GasFlowTimeUnit = gfMinute;
    unit.Temperature = temperatureC;
    unit.TemperatureUnit = tuC;
    unit.Pressure_BarA = pressure;
    unit.GasMolarMass = AirMolarMass;
    return unit;
}

// Converts and expects success; answers the target's value.
double Converted(const TGasFlowDetails& source, TGasFlowDetails target)
{
    QString feedback;
    QString report;
    EXPECT_TRUE(ConvertGasFlow(source, target, feedback, report)) << feedback.toStdString();
    EXPECT_TRUE(feedback.isEmpty());
    return target.GasFlowValue;
}

const double Expected844 = 1 / AirMolarMass * 0.08314462618153272 * 298.15 / 1.01325 * 1000;

TEST(ConvertGasFlow, OneGramOfAirIsAbout844MillilitresAtInstrumentConditions)
{
    TGasFlowDetails target = MillilitresPerMinute();
    target.GasMolarMass = 99; // overwritten by the source's
    QString feedback;
    QString report;
    ASSERT_TRUE(ConvertGasFlow(GramsPerMinute(1), target, feedback, report));
    EXPECT_NEAR(target.GasFlowValue, 844.66, 0.01);
    EXPECT_NEAR(target.GasFlowValue, Expected844, 1e-9);
    EXPECT_EQ(target.GasMolarMass, AirMolarMass);
}

TEST(ConvertGasFlow, VolumetricToGramsAndBackReturnsTheInput)
{
    const double inputs[] = {123.4, 0.001, 5e6};
    for (double input : inputs) {
        TGasFlowDetails source = MillilitresPerMinute(20, 1.5);
        source.GasFlowValue = input;
        TGasFlowDetails grams = GramsPerMinute();
        grams.GasFlowValue = Converted(source, grams);
        grams.GasMolarMass = AirMolarMass;
        EXPECT_NEAR(Converted(grams, MillilitresPerMinute(20, 1.5)), input, input * 1e-13);
    }
}

TEST(ConvertGasFlow, EveryMillilitreTypeVolumeUnitGivesTheSameResult)
{
    const double reference = Converted(GramsPerMinute(2.5), MillilitresPerMinute());
    TGasFlowDetails mlnSource = MillilitresPerMinute();
    mlnSource.GasFlowValue = 100;
    const double referenceGrams = Converted(mlnSource, GramsPerMinute());
    for (TGasFlowVolumeUnit unit : {gfvuCC, gfvuSCC, gfvuML, gfvuMLN}) {
        TGasFlowDetails target = MillilitresPerMinute();
        target.GasFlowVolumeUnit = unit;
        EXPECT_EQ(Converted(GramsPerMinute(2.5), target), reference) << int(unit);

        TGasFlowDetails source = MillilitresPerMinute();
        source.GasFlowVolumeUnit = unit;
        source.GasFlowValue = 100;
        EXPECT_EQ(Converted(source, GramsPerMinute()), referenceGrams) << int(unit);
    }
}

// Units the window never builds are converted by their own unit, not read as ml and °C.
TEST(ConvertGasFlow, TargetsInLitresMicrolitresFahrenheitAndKelvinUseTheirUnits)
{
    struct Case {
        const char* what;
        TGasFlowVolumeUnit volume;
        TTemperatureUnit temperatureUnit;
        double temperature;
        double factor; // result / ml at 25 °C
    };
    const Case cases[] = {
        {"litres", gfvuL, tuC, 25, 0.001},
        {"microlitres", gfvuuL, tuC, 25, 1000},
        {"77 °F", gfvuMLN, tuF, 77, 1},
        {"298.15 K", gfvuMLN, tuK, 298.15, 1},
        {"32 °F is 0 °C", gfvuMLN, tuF, 32, 273.15 / 298.15},
    };
    for (const Case& c : cases) {
        TGasFlowDetails target = MillilitresPerMinute();
        target.GasFlowVolumeUnit = c.volume;
        target.TemperatureUnit = c.temperatureUnit;
        target.Temperature = c.temperature;
        EXPECT_NEAR(Converted(GramsPerMinute(1), target), Expected844 * c.factor, Expected844 * c.factor * 1e-12)
            << c.what;
    }

    TGasFlowDetails microlitres = MillilitresPerMinute();
    microlitres.GasFlowVolumeUnit = gfvuuL;
    microlitres.GasFlowValue = 844662.768716;
    EXPECT_NEAR(Converted(microlitres, GramsPerMinute()), 1, 1e-9);

    TGasFlowDetails kelvinSource = MillilitresPerMinute();
    kelvinSource.TemperatureUnit = tuK;
    kelvinSource.Temperature = 298.15;
    kelvinSource.GasFlowValue = Expected844;
    EXPECT_NEAR(Converted(kelvinSource, GramsPerMinute()), 1, 1e-12);
}

TEST(ConvertGasFlow, TimeBasesRescaleMassAndMoles)
{
    TGasFlowDetails perHour = GramsPerMinute();
    perHour.GasFlowTimeUnit = gftHour;
    QString feedback;
    QString report;
    ASSERT_TRUE(ConvertGasFlow(GramsPerMinute(1), perHour, feedback, report));
    EXPECT_DOUBLE_EQ(perHour.GasFlowValue, 60);
    const QString molesPerHour = QStringLiteral("           Moles: ") + FloatToStr(60 / AirMolarMass) + "\r\n";
    EXPECT_TRUE(report.endsWith(molesPerHour)) << report.toStdString();

    TGasFlowDetails perSecondSource = GramsPerMinute(1);
    perSecondSource.GasFlowTimeUnit = gftSecond;
    TGasFlowDetails perDay = MillilitresPerMinute();
    perDay.GasFlowTimeUnit = gftDay;
    EXPECT_NEAR(Converted(perSecondSource, perDay), Expected844 * 86400, 1e-6);
}

TEST(ConvertTimeBase, ScalesByTheLengthsOfTheUnits)
{
    struct Case {
        TGasFlowTimeUnit from, to;
        double value, expected;
    };
    const Case cases[] = {
        {gfMinute, gftHour, 1, 60},     {gftHour, gfMinute, 60, 1},   {gftSecond, gftDay, 1, 86400},
        {gftDay, gftSecond, 86400, 1},  {gfMinute, gfMinute, 7, 7},   {gftUndefined, gfMinute, 5, 0},
        {gfMinute, gftUndefined, 5, 0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ConvertTimeBase(c.from, c.to, c.value), c.expected) << int(c.from) << "->" << int(c.to);
}

TEST(ConvertGasFlow, UndefinedUnitsAreListedInOrderAndNothingIsConverted)
{
    TGasFlowDetails source = GramsPerMinute(2);
    source.GasFlowType = gfuUndefined;
    TGasFlowDetails target = MillilitresPerMinute();
    target.GasFlowTimeUnit = gftUndefined;
    target.GasFlowValue = 17;
    QString feedback = "stale";
    QString report = "stale";
    EXPECT_FALSE(ConvertGasFlow(source, target, feedback, report));
    EXPECT_EQ(feedback, "From GasFlowType is Undefined\r\nTo GasFlowTimeUnit is Undefined\r\n");
    EXPECT_EQ(report, "       Volume: 2\r\n");
    EXPECT_EQ(target.GasFlowValue, 17);

    TGasFlowDetails fresh;
    EXPECT_FALSE(ConvertGasFlow(fresh, target = TGasFlowDetails(), feedback, report));
    EXPECT_EQ(feedback, "From GasFlowType is Undefined\r\nFrom GasFlowTimeUnit is Undefined\r\n"
                        "To GasFlowType is Undefined\r\nTo GasFlowTimeUnit is Undefined\r\n");

    TGasFlowDetails volumetric = MillilitresPerMinute();
    volumetric.TemperatureUnit = tuUndefined;
    volumetric.GasFlowVolumeUnit = gfvuUndefined;
    EXPECT_FALSE(ConvertGasFlow(volumetric, volumetric, feedback, report));
    EXPECT_EQ(feedback, "From TemperatureUnit is Undefined\r\nFrom GasFlowVolumeUnit is Undefined\r\n"
                        "To TemperatureUnit is Undefined\r\nTo GasFlowVolumeUnit is Undefined\r\n");
}

TEST(ConvertGasFlow, TemperatureAndVolumeUnitMatterOnlyForVolumetricRecords)
{
    TGasFlowDetails source = GramsPerMinute(3);
    source.TemperatureUnit = tuUndefined;
    source.GasFlowVolumeUnit = gfvuUndefined;
    source.Pressure_BarA = 0;
    TGasFlowDetails target = GramsPerMinute();
    target.TemperatureUnit = tuUndefined;
    EXPECT_DOUBLE_EQ(Converted(source, target), 3);
}

TEST(ConvertGasFlow, ReferenceConditionsThatWouldDivideByZeroAreRefused)
{
    struct Case {
        const char* what;
        bool onSource;
        TTemperatureUnit temperatureUnit;
        double temperature;
        double pressure;
        const char* feedback;
    };
    const Case cases[] = {
        {"source -273.15 °C", true, tuC, -273.15, 1, "GasFrom: Absolute zero temperature. Cannot perform math.\r\n"},
        {"source 0 bar", true, tuC, 25, 0, "GasFrom: Absolute zero pressure. Cannot perform math.\r\n"},
        {"source -459.67 °F", true, tuF, -459.67, 1, "GasFrom: Absolute zero temperature. Cannot perform math.\r\n"},
        {"source 0 K, 0 bar", true, tuK, 0, 0,
         "GasFrom: Absolute zero temperature. Cannot perform math.\r\n"
         "GasFrom: Absolute zero pressure. Cannot perform math.\r\n"},
        {"source below absolute zero", true, tuC, -300, 1,
         "GasFrom: Absolute zero temperature. Cannot perform math.\r\n"},
        {"target 0 bar", false, tuC, 25, 0, "GasTo: Absolute zero pressure. Cannot perform math.\r\n"},
        {"target negative pressure", false, tuC, 25, -1, "GasTo: Absolute zero pressure. Cannot perform math.\r\n"},
        {"target -273.15 °C", false, tuC, -273.15, 1, "GasTo: Absolute zero temperature. Cannot perform math.\r\n"},
        {"target 0 K", false, tuK, 0, 1, "GasTo: Absolute zero temperature. Cannot perform math.\r\n"},
        {"target -459.67 °F", false, tuF, -459.67, 1, "GasTo: Absolute zero temperature. Cannot perform math.\r\n"},
    };
    for (const Case& c : cases) {
        TGasFlowDetails volumetric = MillilitresPerMinute();
        volumetric.TemperatureUnit = c.temperatureUnit;
        volumetric.Temperature = c.temperature;
        volumetric.Pressure_BarA = c.pressure;
        volumetric.GasFlowValue = 10;
        TGasFlowDetails grams = GramsPerMinute(1);
        const TGasFlowDetails& source = c.onSource ? volumetric : grams;
        TGasFlowDetails target = c.onSource ? grams : volumetric;
        target.GasFlowValue = 42;
        target.GasMolarMass = 7;
        QString feedback;
        QString report;
        EXPECT_FALSE(ConvertGasFlow(source, target, feedback, report)) << c.what;
        EXPECT_EQ(feedback, c.feedback) << c.what;
        EXPECT_EQ(target.GasFlowValue, 42) << c.what;
        EXPECT_EQ(target.GasMolarMass, 7) << c.what;
    }
}

TEST(ConvertGasFlow, SourceWithoutMolarMassFailsWithEmptyFeedback)
{
    for (double molarMass : {0.0, -4.0}) {
        TGasFlowDetails source = GramsPerMinute(1);
        source.GasMolarMass = molarMass;
        TGasFlowDetails target = MillilitresPerMinute();
        target.GasFlowValue = 42;
        QString feedback;
        QString report;
        EXPECT_FALSE(ConvertGasFlow(source, target, feedback, report));
        EXPECT_TRUE(feedback.isEmpty());
        EXPECT_TRUE(report.endsWith("minute\r\n GasFromMolarMass = 0 ")) << report.toStdString();
        EXPECT_EQ(target.GasFlowValue, 42);
    }
}

class ConvertGasFlowReport : public PointAndCommaLocales {};

TEST_P(ConvertGasFlowReport, AccountsForEveryStep)
{
    TGasFlowDetails target = MillilitresPerMinute();
    QString feedback;
    QString report;
    ASSERT_TRUE(ConvertGasFlow(GramsPerMinute(1), target, feedback, report));
    const QString moles = FloatToStr(1 / AirMolarMass);
    const QString expected = Local("       Volume: 1\r\n"
                                   "Gas from details: \r\n"
                                   "            Unit: g/min\r\n"
                                   "       Time unit: minute\r\n"
                                   "      Molar mass: 28@9647\r\n"
                                   "         Mass, g: 1\r\n")
                             + "           Moles: " + moles + "\r\n\r\n"
                             + Local("  Gas to details: \r\n"
                                     "            Unit: ml/min\r\n"
                                     "       Time unit: minute\r\n"
                                     "      Molar mass: 28@9647\r\n"
                                     "         Mass, g: 1\r\n")
                             + "           Moles: " + moles + "\r\n"
                             + Local("Continuing to volumetrics\r\n"
                                     "  Pressure, barA: 1@01325\r\n"
                                     " Temperature, ºC: 25\r\n"
                                     " Temperature, ºK: 298@15\r\n")
                             + "       Volume, L: " + FloatToStr(target.GasFlowValue / 1000) + "\r\n"
                             + "          Volume: " + FloatToStr(target.GasFlowValue) + " ml/min\r\n";
    EXPECT_EQ(report, expected);
    EXPECT_TRUE(FloatToStr(target.GasFlowValue).startsWith(Local("844@66")));
}

TEST_P(ConvertGasFlowReport, VolumetricSourceReportsLitresPressureAndKelvin)
{
    TGasFlowDetails source = MillilitresPerMinute(20, 2);
    source.TemperatureUnit = tuF;
    source.Temperature = 212;
    source.GasFlowValue = 250;
    TGasFlowDetails target = GramsPerMinute();
    QString feedback;
    QString report;
    ASSERT_TRUE(ConvertGasFlow(source, target, feedback, report));
    EXPECT_TRUE(report.startsWith(Local("       Volume: 250\r\n"
                                        "Gas from details: \r\n"
                                        "            Unit: ml/min\r\n"
                                        "       Time unit: minute\r\n"
                                        "       Volume: 250\r\n"
                                        "       Volume, L: 0@25\r\n"
                                        "  Pressure, barA: 2\r\n"
                                        "  Temperature, K: 373@15\r\n")))
        << report.toStdString();
    EXPECT_FALSE(report.contains("Continuing to volumetrics"));
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(ConvertGasFlowReport);

TEST(ConvertTemperature, CoversEverySelector)
{
    struct Case {
        TTemperatureConversion conversion;
        double value, expected;
    };
    const Case cases[] = {
        {tcCtoF, 100, 212},   {tcCtoK, 0, 273.15},  {tcFtoC, 212, 100},
        {tcFtoK, 32, 273.15}, {tcKtoC, 273.15, 0},  {tcKtoF, 373.15, 212},
        {tcCtoF, -40, -40},   {tcFtoC, -40, -40},   {tcCtoK, -273.15, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ConvertTemperature(c.conversion, c.value), c.expected, 1e-12) << int(c.conversion);
}

TEST(IdealGasLaw, OneMoleAtNormalConditionsIs22Point4Litres)
{
    const double litres = LitresFromMoles(1, 273.15, 1.01325);
    EXPECT_NEAR(litres, 22.41397, 1e-5);
    EXPECT_NEAR(GramsFromVolume(litres, 1.01325, 273.15, 39.95), 39.95, 1e-12);
    EXPECT_NEAR(GramsFromVolume(2 * litres, 2 * 1.01325, 273.15, 4), 16, 1e-12);
}

TEST(TimeUnitName, NamesEveryUnit)
{
    EXPECT_EQ(TimeUnitName(gftSecond), "second");
    EXPECT_EQ(TimeUnitName(gfMinute), "minute");
    EXPECT_EQ(TimeUnitName(gftHour), "hour");
    EXPECT_EQ(TimeUnitName(gftDay), "day");
    EXPECT_EQ(TimeUnitName(gftUndefined), "undefined");
}

TEST(GasFlowDetails, FreshRecordIsUndefinedAndListsItsThreeGaps)
{
    const TGasFlowDetails fresh;
    EXPECT_EQ(fresh.Name, "Undefined");
    EXPECT_EQ(fresh.GasMolarMass, 1.0);
    EXPECT_EQ(fresh.GasFlowValue, 0);
    EXPECT_TRUE(fresh.GasName.isEmpty());
    EXPECT_EQ(fresh.GasFlowType, gfuUndefined);
    EXPECT_EQ(fresh.GasFlowTimeUnit, gftUndefined);
    EXPECT_EQ(fresh.GasFlowVolumeUnit, gfvuUndefined);
    EXPECT_EQ(fresh.TemperatureUnit, tuUndefined);
    EXPECT_EQ(fresh.GasFlowMax(), 0);

    QString feedback;
    EXPECT_FALSE(fresh.IsValid(feedback));
    EXPECT_EQ(feedback, "Gas flow details failure, cannot proceed to calculations:\r\n"
                        "Name:Undefined\r\n"
                        "Lacking \"GasName\"\r\n"
                        "\"GasFlowType\" is undefined\r\n"
                        "\"GasFlowTimeUnit\" is undefined\r\n");
}

TEST(GasFlowDetails, IsValidNamesEachFault)
{
    struct Case {
        const char* what;
        void (*spoil)(TGasFlowDetails&);
        const char* messages;
    };
    const Case cases[] = {
        {"no name", [](TGasFlowDetails& u) { u.Name.clear(); }, "Lacking \"Name\"\r\n"},
        {"value NaN", [](TGasFlowDetails& u) { u.GasFlowValue = std::numeric_limits<double>::quiet_NaN(); }, "\"GasFlowValue\" is not a valid float\r\n"},
        {"molar mass NaN", [](TGasFlowDetails& u) { u.GasMolarMass = std::numeric_limits<double>::quiet_NaN(); },
         "\"GasMolarMass\" is not a valid float\r\n\"GasMolarMass\" value not above zero\r\n"},
        {"molar mass 0", [](TGasFlowDetails& u) { u.GasMolarMass = 0; }, "\"GasMolarMass\" value not above zero\r\n"},
        {"no gas", [](TGasFlowDetails& u) { u.GasName.clear(); }, "Lacking \"GasName\"\r\n"},
        {"no type", [](TGasFlowDetails& u) { u.GasFlowType = gfuUndefined; }, "\"GasFlowType\" is undefined\r\n"},
        {"no volume unit", [](TGasFlowDetails& u) { u.GasFlowVolumeUnit = gfvuUndefined; },
         "\"GasFlowVolumeUnit\" is undefined\r\n"},
        {"temperature NaN", [](TGasFlowDetails& u) { u.Temperature = std::numeric_limits<double>::quiet_NaN(); },
         "\"Temperature\" is not a valid float\"\r\n"},
        {"below -273.16 °C", [](TGasFlowDetails& u) { u.Temperature = -273.17; },
         "Absolute zero or below \"Temperature\" ºC\r\n"},
        {"below -459.688 °F",
         [](TGasFlowDetails& u) {
             u.TemperatureUnit = tuF;
             u.Temperature = -459.7;
         },
         "Absolute zero or below \"Temperature\" ºF\r\n"},
        {"below 0.1 K",
         [](TGasFlowDetails& u) {
             u.TemperatureUnit = tuK;
             u.Temperature = 0.05;
         },
         "Absolute zero or below \"Temperature\" ºK\r\n"},
        {"no temperature unit", [](TGasFlowDetails& u) { u.TemperatureUnit = tuUndefined; },
         "\"TemperatureUnit\" undefined\r\n"},
        {"no pressure", [](TGasFlowDetails& u) { u.Pressure_BarA = 0; }, "Absolute zero or below \"Pressure\"\r\n"},
        {"no time unit", [](TGasFlowDetails& u) { u.GasFlowTimeUnit = gftUndefined; },
         "\"GasFlowTimeUnit\" is undefined\r\n"},
    };
    for (const Case& c : cases) {
        TGasFlowDetails unit = MillilitresPerMinute();
        c.spoil(unit);
        QString feedback;
        EXPECT_FALSE(unit.IsValid(feedback)) << c.what;
        EXPECT_EQ(feedback, "Gas flow details failure, cannot proceed to calculations:\r\nName:" + unit.Name + "\r\n"
                                + c.messages)
            << c.what;
    }
}

TEST(GasFlowDetails, IsValidAcceptsLimitsAndIgnoresVolumetricFieldsOfGramUnits)
{
    QString feedback = "stale";
    EXPECT_TRUE(MillilitresPerMinute(-273.16).IsValid(feedback));
    EXPECT_TRUE(feedback.isEmpty());

    TGasFlowDetails kelvin = MillilitresPerMinute();
    kelvin.TemperatureUnit = tuK;
    kelvin.Temperature = 0.1;
    EXPECT_TRUE(kelvin.IsValid(feedback));

    TGasFlowDetails grams = GramsPerMinute();
    grams.TemperatureUnit = tuUndefined;
    grams.Temperature = -1000;
    grams.Pressure_BarA = 0;
    EXPECT_TRUE(grams.IsValid(feedback)) << feedback.toStdString();
}

TEST(GasFlowDetails, FullScaleInTheUnitsOwnTerms)
{
    struct Case {
        const char* what;
        TGasFlowDetails unit;
        double expected;
    };
    TGasFlowDetails at0C = MillilitresPerMinute(0);
    TGasFlowDetails at2Bar = MillilitresPerMinute(25, 2.0265);
    TGasFlowDetails litres = MillilitresPerMinute();
    litres.GasFlowVolumeUnit = gfvuL;
    TGasFlowDetails microlitres = MillilitresPerMinute();
    microlitres.GasFlowVolumeUnit = gfvuuL;
    TGasFlowDetails fahrenheit = MillilitresPerMinute(77);
    fahrenheit.TemperatureUnit = tuF;
    TGasFlowDetails noPressure = MillilitresPerMinute(25, 0);
    TGasFlowDetails undefinedType = MillilitresPerMinute();
    undefinedType.GasFlowType = gfuUndefined;
    const Case cases[] = {
        {"ml/min at 25 °C", MillilitresPerMinute(), 500},
        {"ml/min at 0 °C", at0C, 500 * 273.15 / 298.15},
        {"ml/min at 2 atm", at2Bar, 250},
        {"l/min", litres, 0.5},
        {"µl/min", microlitres, 500000},
        {"77 °F", fahrenheit, 500},
        {"g/min", GramsPerMinute(), GramsFromVolume(0.5, 1.01325, 298.15, AirMolarMass)},
        {"no pressure", noPressure, 0},
        {"undefined type", undefinedType, 0},
    };
    for (Case c : cases) {
        c.unit.SetGasFlowMax(500);
        EXPECT_NEAR(c.unit.GasFlowMax(), c.expected, c.expected * 1e-14) << c.what;
        EXPECT_EQ(c.unit.Clone().GasFlowMax(), c.unit.GasFlowMax()) << c.what;
    }
}

TEST(GasFlowDetails, FullScaleInGramsWhateverTheUnitAndLogged)
{
    LogCapture log("GasFlow conversions");
    TGasFlowDetails unit = MillilitresPerMinute(0, 3);
    unit.SetGasFlowMax(50);
    const double grams = unit.GasFlowMaxGrams();
    EXPECT_NEAR(grams, 50.0 / 1000 * 1.01325 / (298.15 * 0.08314462618153272) * AirMolarMass, 1e-15);
    EXPECT_NEAR(grams, 0.0592, 1e-4);
    EXPECT_EQ(log.Lines(), QStringList({"pGasFlowMax 50", "TemperatureConversion " + FloatToStr(298.15),
                                        "GasMolarMass " + FloatToStr(AirMolarMass)}));
}

} // namespace
