// Cost of one serial exchange with the controller simulator on a pseudo-terminal, above the
// floor the poll loop sets by design (one poll interval per "Waiting for data or timeout").
#include "core/DiagnosticLog.h"
#include "instruments/SerialPort.h"
#include "tools/ControllerSimulator.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <atomic>
#include <benchmark/benchmark.h>

namespace {

std::atomic<int> gPolls{0};

void CountPolls(const QString& category, const QString& line)
{
    if (category == QLatin1String(LogCategory::SerialPort) && line == QLatin1String("Waiting for data or timeout"))
        ++gPolls;
}

// Time of a waiting exchange minus the poll sleeps it had to make.
void BM_Send2Exchange(benchmark::State& state)
{
    const auto pollMS = std::uint32_t(state.range(0));
    SimulatorHost host(std::make_shared<ControllerSimulator>());
    TSerialPort port;
    port.SetPort(host.PortPath().toLocal8Bit());
    port.SetBaudRate(19200);
    port.SetWindowsReadLoopTimeoutMS(pollMS);
    const DiagnosticSink previous = SetDiagnosticSink(CountPolls);
    gPolls = 0;
    double overheadMS = 0;
    for (auto _ : state) {
        const int pollsBefore = gPolls;
        TSerialResponse result;
        QElapsedTimer timer;
        timer.start();
        port.Send2(QByteArray("A\r"), true, result);
        const double elapsedMS = timer.nsecsElapsed() / 1e6;
        if (!result.Status.isEmpty())
            state.SkipWithError(qPrintable(result.Status));
        overheadMS += elapsedMS - double(gPolls - pollsBefore) * pollMS;
    }
    SetDiagnosticSink(previous);
    state.counters["overhead_ms"] = overheadMS / double(state.iterations());
    state.counters["polls"] = double(gPolls) / double(state.iterations());
}
// Polls of 20 ms and more: below that the 20 ms end-of-reply gap, not the poll, sets the pace.
BENCHMARK(BM_Send2Exchange)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Open, set up, write and close without waiting: the fixed part of every exchange.
void BM_Send2WithoutReply(benchmark::State& state)
{
    SimulatorHost host(std::make_shared<ControllerSimulator>());
    TSerialPort port;
    port.SetPort(host.PortPath().toLocal8Bit());
    for (auto _ : state) {
        TSerialResponse result;
        port.Send2(QByteArray("\r"), false, result);
    }
}
BENCHMARK(BM_Send2WithoutReply)->Unit(benchmark::kMillisecond)->UseRealTime();

// Qt's exclusive open takes a lock file in /var/lock for every exchange; its cost depends on
// whether that directory is on tmpfs (a few microseconds) or on a disk (a synced write).
void BM_PortLockFile(benchmark::State& state)
{
    const QString path = QStringLiteral("/var/lock/LCK..tessaly_bench");
    for (auto _ : state) {
        QLockFile lock(path);
        benchmark::DoNotOptimize(lock.tryLock(0));
    }
}
BENCHMARK(BM_PortLockFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
