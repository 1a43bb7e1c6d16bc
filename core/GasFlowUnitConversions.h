#pragma once
// How a gas flow and its unit are described, and the conversion between any two such
// descriptions by the ideal gas law: grams per time to volume per time at a reference
// temperature and pressure and back, between volume units and between time bases.
#include <QString>
#include <cstdint>

enum TGasFlowType : std::uint8_t { gfuGrams, gfuVolumetric, gfuUndefined };

// gfMinute lacks the "t" of its siblings; device records and the window use that name.
enum TGasFlowTimeUnit : std::uint8_t { gftSecond, gfMinute, gftHour, gftDay, gftUndefined };

// "Standard" and "normal" units are plain volumes: the reference conditions live in the
// record's Temperature and Pressure_BarA, never in the volume unit.
enum TGasFlowVolumeUnit : std::uint8_t { gfvuCC, gfvuSCC, gfvuML, gfvuMLN, gfvuL, gfvuuL, gfvuUndefined };

enum TTemperatureUnit : std::uint8_t { tuC, tuF, tuK, tuUndefined };

enum TTemperatureConversion : std::uint8_t { tcCtoF, tcCtoK, tcFtoC, tcFtoK, tcKtoC, tcKtoF };

// Molar gas constant of the conversions, L·bar/(K·mol).
inline constexpr long double GasConstantR = 0.08314462618153272L;
// The controllers state their full scale in SCCM: ml/min at 25 °C and 1.01325 bar.
inline constexpr double InstrumentStandardKelvin = 298.15;
inline constexpr double InstrumentStandardPressure_BarA = 1.01325;

// A flow unit, optionally carrying a flow value in that unit. A fresh record is undefined in
// every enumeration, so the conversion refuses it until its owner fills it in.
struct TGasFlowDetails {
private:
    double pGasFlowMax = 0; // instrument full scale in SCCM

public:
    QString Name = QStringLiteral("Undefined");
    double GasFlowValue = 0;
    double GasMolarMass = 1.0;
    QString GasName;
    TGasFlowVolumeUnit GasFlowVolumeUnit = gfvuUndefined;
    TGasFlowType GasFlowType = gfuUndefined;
    TGasFlowTimeUnit GasFlowTimeUnit = gftUndefined;
    double Temperature = 0;
    TTemperatureUnit TemperatureUnit = tuUndefined;
    double Pressure_BarA = 0;

    void SetGasFlowMax(double MaxFlowinAlicatSCCM) { pGasFlowMax = MaxFlowinAlicatSCCM; }
    TGasFlowDetails Clone() const { return *this; }

    // The full check before a conversion: True, or False with every finding listed.
    bool IsValid(QString& Feedback) const;

    // The full scale in this unit: per minute, at this unit's reference conditions and in its
    // volume unit (grams for a gram unit). 0 for a unit that cannot express it.
    double GasFlowMax() const;
    // The full scale in g/min whatever this unit is.
    double GasFlowMaxGrams() const;
};

// Converts Source.GasFlowValue into Target's unit (Target.GasFlowValue) and copies the source's
// molar mass into Target. Feedback gets the reasons of a refusal, Report a step-by-step account.
// On False Target is unchanged.
bool ConvertGasFlow(const TGasFlowDetails& Source, TGasFlowDetails& Target, QString& Feedback, QString& Report);

double ConvertTemperature(TTemperatureConversion Conversion, double Value);
// Rescales a rate per FromUnit into a rate per ToUnit; 0 for an undefined unit.
double ConvertTimeBase(TGasFlowTimeUnit FromUnit, TGasFlowTimeUnit ToUnit, double Value);
double GramsFromVolume(double Litres, double Pressure_BarA, double Kelvin, double MolarMass);
double LitresFromMoles(double Moles, double Kelvin, double Pressure_BarA);
QString TimeUnitName(TGasFlowTimeUnit Unit);
