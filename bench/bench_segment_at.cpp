// Cost of evaluating a segment program, as the engine tick does for every running device
// once a second. One evaluation is one pass over the text, so the cost grows linearly with
// the number of lines and with how far into the program the elapsed time lies.
#include "core/SegmentProgram.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Alternating ramps and steps, one point every 1.5 minutes, some with a note.
QString MakeProgram(int lines)
{
    QStringList program;
    for (int i = 0; i < lines; ++i) {
        QString line = QString::number((i + 1) * 1.5) + u' ' + QString::number((i * 37) % 101)
                       + (i % 2 ? QStringLiteral(" Ramp") : QStringLiteral(" Step"));
        if (i % 5 == 0)
            line += QStringLiteral(" Some_random_comment");
        program << line;
    }
    return program.join(QStringLiteral("\r\n"));
}

void EvaluateAt(benchmark::State& state, double fractionOfDuration)
{
    const int lines = int(state.range(0));
    const QString program = MakeProgram(lines);
    const double t = lines * 1.5 * fractionOfDuration + 0.25;
    for (auto _ : state)
        benchmark::DoNotOptimize(SegmentAt(program, t));
    state.SetComplexityN(lines);
}

void BM_SegmentAtMiddle(benchmark::State& state) { EvaluateAt(state, 0.5); }
void BM_SegmentAtEnd(benchmark::State& state) { EvaluateAt(state, 1.0); }

BENCHMARK(BM_SegmentAtMiddle)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(BM_SegmentAtEnd)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();

} // namespace
