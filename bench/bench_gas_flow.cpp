// Cost of one flow conversion, as the engine tick does for every device every second.
#include "core/GasFlowUnitConversions.h"

#include <benchmark/benchmark.h>

namespace {

TGasFlowDetails GramsPerMinute()
{
    TGasFlowDetails unit;
    unit.Name = "g/min";
    unit.GasName = "Air";
    unit.GasFlowType = gfuGrams;
    unit.GasFlowTimeUnit = gfMinute;
    unit.GasMolarMass = 28.9647;
    return unit;
}

TGasFlowDetails MillilitresPerMinute()
{
    TGasFlowDetails unit;
    unit.Name = "ml/min";
    unit.GasName = "Air";
    unit.GasFlowType = gfuVolumetric;
    unit.GasFlowVolumeUnit = gfvuMLN;
    unit.GasFlowTimeUnit = gfMinute;
    unit.Temperature = 25;
    unit.TemperatureUnit = tuC;
    unit.Pressure_BarA = 1.01325;
    unit.GasMolarMass = 28.9647;
    return unit;
}

void ConvertRoundTrip(benchmark::State& state)
{
    TGasFlowDetails grams = GramsPerMinute();
    TGasFlowDetails millilitres = MillilitresPerMinute();
    QString feedback;
    QString report;
    double value = 1;
    for (auto _ : state) {
        grams.GasFlowValue = value;
        bool ok = ConvertGasFlow(grams, millilitres, feedback, report);
        ok = ConvertGasFlow(millilitres, grams, feedback, report) && ok;
        benchmark::DoNotOptimize(ok);
        value = grams.GasFlowValue;
    }
    state.counters["result_g_per_min"] = value;
}
BENCHMARK(ConvertRoundTrip);

void ConvertGramsToVolumetric(benchmark::State& state)
{
    TGasFlowDetails grams = GramsPerMinute();
    grams.GasFlowValue = 1;
    TGasFlowDetails millilitres = MillilitresPerMinute();
    QString feedback;
    QString report;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertGasFlow(grams, millilitres, feedback, report));
        benchmark::DoNotOptimize(millilitres.GasFlowValue);
    }
}
BENCHMARK(ConvertGramsToVolumetric);

} // namespace
