#pragma once
// Turns a wanted dispense rate into a looping syringe-pump program. The pump is not told a
// flow: it fills the syringe and empties it again, either continuously at a speed code or one
// step at a time with a delay between steps, until it is stopped. Pure computation.
#include <QString>
#include <cstdint>

// The planning record: the caller fills the syringe, the fluid and the wanted rate; the
// planning fills the command, the rate it achieves, the relative error and a trace.
struct TPumpSpeedDetails {
    double SyringeVolume_ul = 12.5;
    std::int32_t TotalSteps = 24000; // informational: the stroke formulas use the fixed 24000
    double FluidDensity = 0.99819; // g/mL
    double DesiredDispense_ugpm = 0;
    double AchievedDispense_ugpm = 0;
    double Error_pct = 0;
    // The wanted rate lies outside what the two programs can dose (faster than the fastest
    // speed code, or slower than the longest delay): the command doses the nearest rate.
    bool OutOfReach = false;
    QString Command; // without the pump's address framing
    QString Feedback; // the search trace, for the message log

    // Restores the numeric fields to their starting values; Command and Feedback stay.
    void Init();
};

// Rate of the continuous program at speed code b (clamped into 5 … 1000), µg/min.
double DispenseRateContinuous(const TPumpSpeedDetails& details, std::int32_t b);

// Rate of the stepped program with M ms between steps (clamped into 5 … 30000), µg/min.
double DispenseRateStepped(const TPumpSpeedDetails& details, std::int32_t M);

// Plans the program for DesiredDispense_ugpm: fills Command, AchievedDispense_ugpm, Error_pct,
// OutOfReach and Feedback. False only for a wanted rate of exactly 0, which plans the stop
// command "TR".
bool PumpCommandForDispense(TPumpSpeedDetails& details);
