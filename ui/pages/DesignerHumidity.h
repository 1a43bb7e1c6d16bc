#pragma once
// The designer's humidity target: which pump setpoint gives a wanted humidity with the gas
// flows the designer rows hold, worked out with the dosing plan the pump will be given.
#include "core/HumidityTarget.h"
#include "ui/pages/MixDesign.h"

#include <QStringList>
#include <vector>

// The ports of the rows whose device is a pump, in row order: the pumps a target can act on.
QStringList DesignerPumpPorts(const std::vector<TDesignerRow>& Rows);

struct TDesignerHumidity {
    bool Valid = false;
    QStringList Lines;      // for the panel: the refusal, or the water, setpoint, dose and humidity
    THumiditySolution Solution;
    double PumpRowFlow = 0; // the pump row's flow for the setpoint, in the operator's unit
};

// The target worked out for the pump on PumpPort, the other rows making the stream it
// waters (their gases as dry gas, other pumps' water as water already there). Refused for no
// pump or one that does not dose water, and for what SolveHumidityTarget refuses.
TDesignerHumidity DesignerHumidityTarget(const std::vector<TDesignerRow>& Rows, const QString& PumpPort,
                                         const THumidityTarget& Target);
