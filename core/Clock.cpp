#include "core/Clock.h"

#include <atomic>

namespace {
std::atomic<ClockSource> gSource{nullptr};
}

QDateTime ClockNow()
{
    const ClockSource source = gSource.load(std::memory_order_acquire);
    return source ? source() : QDateTime::currentDateTime();
}

ClockSource SetClockSource(ClockSource source)
{
    return gSource.exchange(source, std::memory_order_acq_rel);
}
