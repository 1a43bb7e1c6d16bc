// The engine tick plans every pump's program once a second; one plan must stay far below the
// tick's budget (well under 0.1 ms).
#include "instruments/PumpDispense.h"

#include <benchmark/benchmark.h>

namespace {

void PlanDispense(benchmark::State& state, double desired)
{
    TPumpSpeedDetails details;
    details.Init();
    details.DesiredDispense_ugpm = desired;
    for (auto _ : state) {
        PumpCommandForDispense(details);
        benchmark::DoNotOptimize(details.Command);
    }
}

} // namespace

BENCHMARK_CAPTURE(PlanDispense, stepped_300, 300.0);
BENCHMARK_CAPTURE(PlanDispense, continuous_1000, 1000.0);
BENCHMARK_CAPTURE(PlanDispense, continuous_far_above, 1e6);
