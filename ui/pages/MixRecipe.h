#pragma once
// A mixture recipe: one line per device, "COM6 50" or "COM7 12.5 R" (port, setpoint in percent
// of the device's full scale, optional segment type S or R), lines ended by CR LF. The
// recipe is turned into the mixture that the named devices deliver together and reported
// as text; it can also be added as one segment to each named device's program. These are
// the workings of the mixtures page; the page itself only moves texts in and out.
#include "core/GasItem.h"

#include <QString>
#include <QStringList>

// Reads Recipe against the device list and appends one component per accepted line to
// Mixture: the device's gas (or fluid) with the mass flow it delivers at that setpoint.
// Error receives the latest error only (each error replaces the previous one); after an error
// no further line is added, but later lines are still checked. True when no error occurred.
bool ParseMixRecipe(const QString& Recipe, TGasItem& Mixture, QString& Error);

// What the mixtures page shows after a change of the recipe or the mixture name.
struct TMixRecipeEvaluation {
    QString Text;       // the result page (lines ended by CR LF) or the error text
    bool Valid = false; // the recipe may be added as segments
};

// The mixture's name, inputs, components, partial pressures, volumetric flows at five
// conditions and, when water is part of the mixture, its humidity.
TMixRecipeEvaluation EvaluateMixRecipe(const QString& Recipe, const QString& MixtureName);

// What adding a recipe's segments did, for the page to pass on.
struct TMixSegmentsAddResult {
    QStringList LogLines;     // for the message log, in order
    QString Message;          // a modal message to show afterwards; empty when none
    QStringList ChangedPorts; // the devices written back, in order (show the last one)
};

// Adds, for every recipe line that names a known device, the segment
// "<minute> <setpoint> <Step|Ramp> <note>" at Time_min (rounded to a whole minute, halves to
// even) to that device's segment program; a point at the same minute is replaced. Either
// every named program changes or none: a program holding a point that is not at a whole
// minute refuses the whole addition with a message naming the device and the point.
// RecipeValid is the page's flag from the latest evaluation of Recipe.
TMixSegmentsAddResult AddMixSegments(const QString& Recipe, bool RecipeValid, double Time_min, const QString& Note);
