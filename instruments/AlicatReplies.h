#pragma once
// Reading a mass flow controller's replies, without any I/O: the status line and the answer
// to the full-scale query "FPF 37 67".
#include "instruments/AlicatErrors.h"

#include <QString>
#include <QStringList>
#include <array>

// A status line: the unit id, five numbers (pressure, temperature, volumetric flow, mass flow,
// setpoint), the totalizer when the controller has one, then the gas label and any status
// codes. Controllers without the totalizer option leave it out; those that report their valve
// drive put it after the totalizer. The gas label is the first field after the five that is
// not a number; the first number between the five and the gas label is the totalizer.
struct AlicatStatusLine {
    enum class Kind {
        Short,     // fewer than seven fields: no reading in it
        Reading,   // the five numbers read (the totalizer and gas label may be missing)
        Malformed, // a reading was due but one of the five fields does not read as a number
    };
    Kind kind = Kind::Short;
    int FieldCount = 0;
    // Pressure, temperature, volumetric flow, mass flow, setpoint, totalizer (0 without one).
    std::array<double, 6> Numbers{};
    bool HasTotalizer = false;
    QString GasLabel;
    // Set only when the line has fields after the gas label; codes matched exactly, the rest
    // (unknown codes, lower case) ignored.
    bool HasStatusFields = false;
    TAlicatErrors ErrorFlags;
    QString BadField; // the first of the five that is not a number (Malformed)
};

// Fields split at runs of characters at or below U+0020.
QStringList AlicatFields(const QString& reply);
AlicatStatusLine ParseAlicatStatusLine(const QString& reply);

// The full-scale answer: exactly four fields split at every single blank (two blanks in a
// row make an empty field), e.g. "A 50.00 12 SCCM".
struct AlicatFullScale {
    enum class Kind {
        NotFourFields,
        NotANumber, // four fields, but the second does not read as a number
        Read,
    };
    Kind kind = Kind::NotFourFields;
    QString ValueText; // field 2
    QString UnitText;  // field 4
    double Value = 0;
};

AlicatFullScale ParseAlicatFullScale(const QString& reply);

// The controller's answer to a command it does not know or does not take: "?" after the
// unit id (older firmware answers so to commands it lacks).
bool IsAlicatErrorReply(const QString& reply);
