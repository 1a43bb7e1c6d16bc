#include "ui/pages/ReferenceConditions.h"

#include "core/NumberText.h"
#include "core/TextTables.h"

#include <QRegularExpression>

namespace {

// Values stay texts as written: the list shows them so and a choice reads them back.
struct TReferenceCondition {
    const char* Celsius;
    const char* Fahrenheit;
    const char* Bar;
    const char* Standard;
};

constexpr TReferenceCondition ReferenceConditions[] = {
    {"n/a", "n/a", "n/a", "g, grams"},
    {"0", "32", "1.01325", "NIST, ISO 10780, (IUPAC until 1982)"},
    {"20", "68", "1.01325", "EPA, NIST"},
    {"25", "77", "1.01325", "SATP, EPA"},
    {"0", "32", "1", "IUPAC since 1982"},
    {"0", "32", "1.01325", "DIN 1343:1990"},
    {"15", "59", "0.9999", "U.S. Army Standard Metro (RH: 78%)"},
    {"15", "59", "1.00000", "SPE"},
    {"15", "59", "1.0133", "ISO 2314, ISO 3977-2, ASHRAE Fundamentals Handbook (RH: 60%)"},
    {"15", "59", "1.013", "FAA"},
    {"15", "59", "1.01325", "ICAO's ISA, ISO 13443, EEA, EGIA (SI Definition)"},
    {"15", "59", "1.01325", "ISO 2533:1975, ISO 13443:2005, ISO 7504:2015"},
    {"15.56", "60", "1.0133", "SPE, U.S. OSHA, SCAQMD"},
    {"15.56", "60", "1.016", "EGIA (Imperial System Definition)"},
    {"15.56", "60", "1.0135", "U.S. DOT (SCF)"},
    {"20", "68", "1.00000", "CAGI"},
    {"20", "68", "1.013", "ISO 5011 (RH: 50%)"},
    {"20", "68", "1.0133", "GOST 2939-63"},
    {"20", "68", "1.01325", "EN 14511-1:2013"},
    {"21.11", "70", "1.013", "AMCA, air density = 0.075 lbm/ft3. This AMCA standard applies only to air;"},
    {"22", "71.6", "1.01325", "American Association of Physicists in Medicine (RH: 20-80%)"},
};

const QString GramsUnitName = QStringLiteral("g/min");
const QString VolumeUnitName = QStringLiteral("ml/min");

} // namespace

QStringList ReferenceConditionLines()
{
    QStringList lines{QStringLiteral("\u00BAC    \u00BAF     Bar      Standard")};
    for (const TReferenceCondition& condition : ReferenceConditions)
        lines << PadRight(QString::fromLatin1(condition.Celsius), 7) + PadRight(QString::fromLatin1(condition.Fahrenheit), 6)
                     + PadRight(QString::fromLatin1(condition.Bar), 9) + QString::fromLatin1(condition.Standard);
    return lines;
}

std::optional<TReferenceConditionChoice> ReferenceConditionChoice(int Line)
{
    const QStringList lines = ReferenceConditionLines();
    if (Line < 1 || Line >= lines.size())
        return std::nullopt;
    TReferenceConditionChoice choice;
    if (Line == ReferenceConditionGramsLine) {
        choice.UnitName = GramsUnitName;
    } else {
        static const QRegularExpression blanks(QStringLiteral(" +"));
        const QStringList words = QString(lines[Line]).replace(blanks, QStringLiteral(" ")).split(u' ');
        choice.Temperature = StrToFloatDot(words.value(0));
        choice.Pressure_BarA = StrToFloatDot(words.value(2));
        choice.UnitName = VolumeUnitName;
    }
    choice.ConditionBoxesVisible = choice.UnitName != GramsUnitName;
    return choice;
}

QString FahrenheitText(double TemperatureC) { return FloatToStr(TemperatureC * 1.8 + 32) + QStringLiteral("\u00BAF"); }

QString PsiText(double Pressure_BarA)
{
    return FormatFloat(QStringLiteral("0.000"), Pressure_BarA * 14.5038) + QStringLiteral(" psi");
}
