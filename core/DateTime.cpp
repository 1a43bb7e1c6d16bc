#include "core/DateTime.h"

#include "core/Clock.h"

#include <cmath>

namespace {
const QDate Epoch(1899, 12, 30);
}

double DateTimeToDays(const QDateTime& moment)
{
    const QDateTime local = moment.toLocalTime();
    return double(Epoch.daysTo(local.date())) + double(local.time().msecsSinceStartOfDay()) / (SecondsPerDay * 1000.0);
}

QDateTime DaysToDateTime(double days)
{
    const double whole = std::floor(days);
    const auto msecs = qint64(std::llround((days - whole) * SecondsPerDay * 1000.0));
    return QDateTime(Epoch.addDays(qint64(whole)), QTime(0, 0)).addMSecs(msecs);
}

double NowDays() { return DateTimeToDays(ClockNow()); }
