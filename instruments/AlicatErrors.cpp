#include "instruments/AlicatErrors.h"

namespace {

struct ErrorRow {
    const char* name;
    const char* description;
};

// In the order of TAlicatError.
const ErrorRow kErrors[AlicatErrorCount] = {
    {"ADC", "Internal communication error (not common \u2013 please contact Alicat for assistance)."},
    {"EXH", "Manual exhaust valve override is enabled (max opening on the downstream valve)."},
    {"HLD", "Valve drive hold enabled (bypass active loop control)."},
    {"LCK", "Display buttons are disabled."},
    {"MOV", "Mass flow rate overage (flow is outside the measurable range, including the uncalibrated range)."},
    {"OPL", "The overpressure limit is enabled."},
    {"OVR", "Totalizer has rolled over at least once or frozen at max value."},
    {"POV", "Pressure reading overage (pressure is outside the measurable range, including the uncalibrated range)."},
    {"TMF", "Totalizer missed some flow data (due to a MOV or VOV error)."},
    {"TOV", "Temperature reading overage (temperature is outside measurable range)."},
    {"VOV", "Volumetric flow rate overage (Volumetric flow is outside the measurable range, including the uncalibrated range)."},
};

} // namespace

QString AlicatErrorName(TAlicatError code)
{
    return QString::fromLatin1(kErrors[int(code)].name);
}

QString AlicatErrorDescription(TAlicatError code)
{
    return QString::fromUtf8(kErrors[int(code)].description);
}

bool TryAlicatErrorFromName(const QString& name, TAlicatError& code)
{
    for (int i = 0; i < AlicatErrorCount; ++i) {
        if (name == QLatin1String(kErrors[i].name)) {
            code = TAlicatError(i);
            return true;
        }
    }
    return false;
}
