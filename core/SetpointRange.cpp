#include "core/SetpointRange.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>

double SetpointInRange_pct(double requested)
{
    if (std::isnan(requested))
        return SetpointMin_pct;
    return std::clamp(requested, SetpointMin_pct, SetpointMax_pct);
}

QString SetpointRangeNote(double requested)
{
    const double sent = SetpointInRange_pct(requested);
    if (sent == requested)
        return {};
    return QStringLiteral("Setpoint ") + FloatToStr(requested) + QStringLiteral("% is outside 0 … 100 %, sending ")
           + FloatToStr(sent) + u'%';
}
