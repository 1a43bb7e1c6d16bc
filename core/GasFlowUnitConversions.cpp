#include "core/GasFlowUnitConversions.h"

#include "core/DiagnosticLog.h"
#include "core/NumberText.h"

#include <QStringList>
#include <cmath>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::GasFlowConversions);
    return log;
}

const QString CRLF = QStringLiteral("\r\n");

// Held as 64-bit floats (so -273.15 °C lands on 0 K exactly); the arithmetic is extended.
constexpr double CelsiusToKelvinOffset = 273.15;
constexpr double CelsiusToFahrenheitFactor = 1.8;
constexpr double FahrenheitOffset = 32;
constexpr double FahrenheitToCelsiusFactor = 0.5555555555555556;

// -459.67 °F does not convert to 0 K exactly; anything this close to absolute zero is it.
constexpr double AbsoluteZeroMarginK = 1e-6;

int SecondsOf(TGasFlowTimeUnit unit)
{
    switch (unit) {
    case gftSecond: return 1;
    case gfMinute: return 60;
    case gftHour: return 3600;
    case gftDay: return 86400;
    case gftUndefined: break;
    }
    return 0;
}

// Litres per volume unit (reading a source) and volume units per litre (writing a target), so
// that both directions multiply: litres x 1000 is not always bit-equal to litres / 0.001.
double LitresPerUnit(TGasFlowVolumeUnit unit)
{
    switch (unit) {
    case gfvuCC:
    case gfvuSCC:
    case gfvuML:
    case gfvuMLN: return 0.001;
    case gfvuL: return 1;
    case gfvuuL: return 0.000001;
    case gfvuUndefined: break;
    }
    return 0;
}

double UnitsPerLitre(TGasFlowVolumeUnit unit)
{
    switch (unit) {
    case gfvuCC:
    case gfvuSCC:
    case gfvuML:
    case gfvuMLN: return 1000;
    case gfvuL: return 1;
    case gfvuuL: return 1000000;
    case gfvuUndefined: break;
    }
    return 0;
}

// The reference temperature of a volumetric record in kelvin, by its own unit.
double KelvinOf(const TGasFlowDetails& unit)
{
    switch (unit.TemperatureUnit) {
    case tuF: return ConvertTemperature(tcFtoK, unit.Temperature);
    case tuK: return unit.Temperature;
    case tuC:
    case tuUndefined: break;
    }
    return ConvertTemperature(tcCtoK, unit.Temperature);
}

// The same in °C, for the report: a °C record shows its own figure unchanged.
double CelsiusOf(const TGasFlowDetails& unit)
{
    switch (unit.TemperatureUnit) {
    case tuF: return ConvertTemperature(tcFtoC, unit.Temperature);
    case tuK: return ConvertTemperature(tcKtoC, unit.Temperature);
    case tuC:
    case tuUndefined: break;
    }
    return unit.Temperature;
}

void AddLine(QString& text, const QString& line) { text += line + CRLF; }

void AddValue(QString& text, const char* label, double value)
{
    AddLine(text, QString::fromUtf8(label) + FloatToStr(value));
}

// The unit checks of one side of a conversion ("From" or "To").
void CheckUnitsDefined(const TGasFlowDetails& unit, const QString& side, QString& feedback)
{
    if (unit.GasFlowType == gfuUndefined)
        AddLine(feedback, side + QStringLiteral(" GasFlowType is Undefined"));
    if (unit.GasFlowTimeUnit == gftUndefined)
        AddLine(feedback, side + QStringLiteral(" GasFlowTimeUnit is Undefined"));
    if (unit.GasFlowType == gfuVolumetric) {
        if (unit.TemperatureUnit == tuUndefined)
            AddLine(feedback, side + QStringLiteral(" TemperatureUnit is Undefined"));
        if (unit.GasFlowVolumeUnit == gfvuUndefined)
            AddLine(feedback, side + QStringLiteral(" GasFlowVolumeUnit is Undefined"));
    }
}

// A volumetric side at or below absolute zero, or without pressure, would divide by zero (or
// give a negative flow) in the gas law.
void CheckReferenceConditions(const TGasFlowDetails& unit, const QString& side, QString& feedback)
{
    if (unit.GasFlowType != gfuVolumetric)
        return;
    if (!(KelvinOf(unit) > AbsoluteZeroMarginK))
        AddLine(feedback, side + QStringLiteral(": Absolute zero temperature. Cannot perform math."));
    if (!(unit.Pressure_BarA > 0))
        AddLine(feedback, side + QStringLiteral(": Absolute zero pressure. Cannot perform math."));
}

} // namespace

double ConvertTemperature(TTemperatureConversion Conversion, double Value)
{
    const long double t = Value;
    const long double kOffset = CelsiusToKelvinOffset;
    const long double cToF = CelsiusToFahrenheitFactor;
    const long double fToC = FahrenheitToCelsiusFactor;
    const long double fOffset = FahrenheitOffset;
    long double result = t;
    switch (Conversion) {
    case tcCtoF: result = t * cToF + fOffset; break;
    case tcCtoK: result = t + kOffset; break;
    case tcFtoC: result = (t - fOffset) * fToC; break;
    case tcFtoK: result = (t - fOffset) * fToC + kOffset; break;
    case tcKtoC: result = t - kOffset; break;
    case tcKtoF: result = (t - kOffset) * cToF + fOffset; break;
    }
    return double(result);
}

double ConvertTimeBase(TGasFlowTimeUnit FromUnit, TGasFlowTimeUnit ToUnit, double Value)
{
    const int from = SecondsOf(FromUnit);
    const int to = SecondsOf(ToUnit);
    if (from == 0 || to == 0)
        return 0;
    return Value * to / from;
}

double GramsFromVolume(double Litres, double Pressure_BarA, double Kelvin, double MolarMass)
{
    return double(MolarMass * ((long double)Pressure_BarA * Litres) / (Kelvin * GasConstantR));
}

double LitresFromMoles(double Moles, double Kelvin, double Pressure_BarA)
{
    return double(Moles * GasConstantR * Kelvin / Pressure_BarA);
}

QString TimeUnitName(TGasFlowTimeUnit Unit)
{
    switch (Unit) {
    case gftSecond: return QStringLiteral("second");
    case gfMinute: return QStringLiteral("minute");
    case gftHour: return QStringLiteral("hour");
    case gftDay: return QStringLiteral("day");
    case gftUndefined: break;
    }
    return QStringLiteral("undefined");
}

bool TGasFlowDetails::IsValid(QString& Feedback) const
{
    QStringList findings;
    if (Name.isEmpty())
        findings << QStringLiteral("Lacking \"Name\"");
    if (std::isnan(GasFlowValue))
        findings << QStringLiteral("\"GasFlowValue\" is not a valid float");
    if (std::isnan(GasMolarMass))
        findings << QStringLiteral("\"GasMolarMass\" is not a valid float");
    if (!(GasMolarMass > 0))
        findings << QStringLiteral("\"GasMolarMass\" value not above zero");
    if (GasName.isEmpty())
        findings << QStringLiteral("Lacking \"GasName\"");
    if (GasFlowType == gfuUndefined)
        findings << QStringLiteral("\"GasFlowType\" is undefined");
    if (GasFlowType == gfuVolumetric) {
        if (GasFlowVolumeUnit == gfvuUndefined)
            findings << QStringLiteral("\"GasFlowVolumeUnit\" is undefined");
        if (std::isnan(Temperature))
            findings << QStringLiteral("\"Temperature\" is not a valid float\"");
        switch (TemperatureUnit) {
        case tuC:
            if (Temperature < -273.16)
                findings << QStringLiteral("Absolute zero or below \"Temperature\" ºC");
            break;
        case tuF:
            if (Temperature < -459.688)
                findings << QStringLiteral("Absolute zero or below \"Temperature\" ºF");
            break;
        case tuK:
            if (Temperature < 0.1)
                findings << QStringLiteral("Absolute zero or below \"Temperature\" ºK");
            break;
        case tuUndefined:
            findings << QStringLiteral("\"TemperatureUnit\" undefined");
            break;
        }
        if (!(Pressure_BarA > 0))
            findings << QStringLiteral("Absolute zero or below \"Pressure\"");
    }
    if (GasFlowTimeUnit == gftUndefined)
        findings << QStringLiteral("\"GasFlowTimeUnit\" is undefined");

    Feedback.clear();
    if (findings.isEmpty())
        return true;
    AddLine(Feedback, QStringLiteral("Gas flow details failure, cannot proceed to calculations:"));
    AddLine(Feedback, QStringLiteral("Name:") + Name);
    for (const QString& finding : findings)
        AddLine(Feedback, finding);
    return false;
}

double TGasFlowDetails::GasFlowMax() const
{
    switch (GasFlowType) {
    case gfuGrams:
        return GramsFromVolume(pGasFlowMax / 1000, InstrumentStandardPressure_BarA, InstrumentStandardKelvin,
                               GasMolarMass);
    case gfuVolumetric: {
        const double kelvin = KelvinOf(*this);
        if (TemperatureUnit == tuUndefined || GasFlowVolumeUnit == gfvuUndefined || !(kelvin > AbsoluteZeroMarginK)
            || !(Pressure_BarA > 0))
            return 0;
        // SCCM scaled to this unit's temperature and pressure gives ml/min there.
        const double millilitres = pGasFlowMax * InstrumentStandardPressure_BarA * kelvin
                                   / (InstrumentStandardKelvin * Pressure_BarA);
        return millilitres * (0.001 * UnitsPerLitre(GasFlowVolumeUnit));
    }
    case gfuUndefined: break;
    }
    return 0;
}

double TGasFlowDetails::GasFlowMaxGrams() const
{
    Log().Send(QStringLiteral("pGasFlowMax ") + FloatToStr(pGasFlowMax));
    Log().Send(QStringLiteral("TemperatureConversion ") + FloatToStr(InstrumentStandardKelvin));
    Log().Send(QStringLiteral("GasMolarMass ") + FloatToStr(GasMolarMass));
    return GramsFromVolume(pGasFlowMax / 1000, InstrumentStandardPressure_BarA, InstrumentStandardKelvin,
                           GasMolarMass);
}

bool ConvertGasFlow(const TGasFlowDetails& Source, TGasFlowDetails& Target, QString& Feedback, QString& Report)
{
    Feedback.clear();
    Report.clear();
    AddValue(Report, "       Volume: ", Source.GasFlowValue);

    CheckUnitsDefined(Source, QStringLiteral("From"), Feedback);
    CheckUnitsDefined(Target, QStringLiteral("To"), Feedback);
    if (!Feedback.isEmpty())
        return false;

    CheckReferenceConditions(Source, QStringLiteral("GasFrom"), Feedback);
    CheckReferenceConditions(Target, QStringLiteral("GasTo"), Feedback);
    if (!Feedback.isEmpty())
        return false;

    AddLine(Report, QStringLiteral("Gas from details: "));
    AddLine(Report, QStringLiteral("            Unit: ") + Source.Name);
    AddLine(Report, QStringLiteral("       Time unit: ") + TimeUnitName(Source.GasFlowTimeUnit));

    double mass = -1;
    if (Source.GasFlowType == gfuGrams) {
        mass = Source.GasFlowValue;
    } else {
        const double litres = Source.GasFlowValue * LitresPerUnit(Source.GasFlowVolumeUnit);
        const double kelvin = KelvinOf(Source);
        mass = GramsFromVolume(litres, Source.Pressure_BarA, kelvin, Source.GasMolarMass);
        AddValue(Report, "       Volume: ", Source.GasFlowValue);
        AddValue(Report, "       Volume, L: ", litres);
        AddValue(Report, "  Pressure, barA: ", Source.Pressure_BarA);
        AddValue(Report, "  Temperature, K: ", kelvin);
    }

    if (!(Source.GasMolarMass > 0)) {
        Report += QStringLiteral(" GasFromMolarMass = 0 ");
        return false;
    }

    double moles = mass / Source.GasMolarMass;
    AddValue(Report, "      Molar mass: ", Source.GasMolarMass);
    AddValue(Report, "         Mass, g: ", mass);
    AddValue(Report, "           Moles: ", moles);
    AddLine(Report, QString());

    mass = ConvertTimeBase(Source.GasFlowTimeUnit, Target.GasFlowTimeUnit, mass);
    moles = ConvertTimeBase(Source.GasFlowTimeUnit, Target.GasFlowTimeUnit, moles);
    Target.GasFlowValue = mass;
    Target.GasMolarMass = Source.GasMolarMass;

    AddLine(Report, QStringLiteral("  Gas to details: "));
    AddLine(Report, QStringLiteral("            Unit: ") + Target.Name);
    AddLine(Report, QStringLiteral("       Time unit: ") + TimeUnitName(Target.GasFlowTimeUnit));
    AddValue(Report, "      Molar mass: ", Target.GasMolarMass);
    AddValue(Report, "         Mass, g: ", mass);
    AddValue(Report, "           Moles: ", moles);

    if (Target.GasFlowType == gfuGrams)
        return true;

    const double kelvin = KelvinOf(Target);
    const double litres = LitresFromMoles(moles, kelvin, Target.Pressure_BarA);
    const double volume = litres * UnitsPerLitre(Target.GasFlowVolumeUnit);
    AddLine(Report, QStringLiteral("Continuing to volumetrics"));
    AddValue(Report, "  Pressure, barA: ", Target.Pressure_BarA);
    AddValue(Report, " Temperature, ºC: ", CelsiusOf(Target));
    AddValue(Report, " Temperature, ºK: ", kelvin);
    AddValue(Report, "       Volume, L: ", litres);
    AddLine(Report, QStringLiteral("          Volume: ") + FloatToStr(volume) + QStringLiteral(" ") + Target.Name);
    Target.GasFlowValue = volume;
    return true;
}
