#include "core/Clock.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<ClockSource> gSource{nullptr};
std::atomic<SteadySource> gSteady{nullptr};
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

qint64 SteadyNowMs()
{
    if (const SteadySource steady = gSteady.load(std::memory_order_acquire))
        return steady();
    if (const ClockSource source = gSource.load(std::memory_order_acquire))
        return source().toMSecsSinceEpoch();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

SteadySource SetSteadySource(SteadySource source)
{
    return gSteady.exchange(source, std::memory_order_acq_rel);
}
