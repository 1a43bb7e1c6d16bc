#pragma once
// The reference conditions an operator can pick for a flow unit instead of typing them: the
// lines of the configuration page's drop-down list, what picking one puts into the unit's
// boxes, and the Fahrenheit and psi readings shown beside the temperature and pressure.
#include <QString>
#include <QStringList>
#include <optional>

// The list's lines: the header, then one line per reference condition (values padded to 7, 6
// and 9 characters, then the standard that defines it).
QStringList ReferenceConditionLines();

// Line of the list that stands for a mass unit rather than reference conditions.
inline constexpr int ReferenceConditionGramsLine = 1;

// What choosing a line puts into the flow-unit boxes.
struct TReferenceConditionChoice {
    std::optional<double> Temperature;   // for the temperature box; none: the box keeps its value
    std::optional<double> Pressure_BarA; // for the pressure box; none: the box keeps its value
    QString UnitName;                    // "g/min" or "ml/min"
    bool ConditionBoxesVisible = true;   // temperature and pressure boxes and their two labels
};

// The choice of line Line (index into ReferenceConditionLines()); none for the header or a
// line outside the list. The numbers are read from the line's text.
std::optional<TReferenceConditionChoice> ReferenceConditionChoice(int Line);

// Label beside the temperature box, e.g. "68ºF" for 20.
QString FahrenheitText(double TemperatureC);
// Label beside the pressure box, e.g. "14.696 psi" for 1.01325.
QString PsiText(double Pressure_BarA);
