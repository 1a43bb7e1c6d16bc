// What the worker threads cost: one synchronised exchange with the window's thread, the CPU
// time of workers that have nothing to do (an idle pump, a simulated controller), and of a
// controller worker that cannot reach its controller (its port held by another program, or
// a controller that stays silent).
// TESSALY_BENCH_SECONDS sets how long the idle runs last (60 by default).
#include "devices/DeviceInfo.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "instruments/PSD4.h"
#include "tools/ControllerSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>
#include <QThread>
#include <QTimer>
#include <QEventLoop>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int IdleSeconds()
{
    const int seconds = qEnvironmentVariableIntValue("TESSALY_BENCH_SECONDS");
    return seconds > 0 ? seconds : 60;
}

// Serves the window's events for the given time, as the window's message loop would.
void ServeFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Serves the window's events until done() holds, looking every few milliseconds.
template <typename Done>
void ServeUntil(Done done)
{
    while (!done())
        ServeFor(5);
}

class ExchangeProbe : public ExchangeWorker<TThreadData> {
public:
    int Exchanges = 0;

protected:
    void run() override
    {
        for (int i = 0; i < Exchanges; ++i)
            Synchronise();
    }
};

// One DataExchange: the worker posts it to the window's thread and waits until it ran.
void BM_DataExchangeRoundTrip(benchmark::State& state)
{
    constexpr int Batch = 2000;
    for (auto _ : state) {
        ExchangeProbe probe;
        probe.Exchanges = Batch;
        QElapsedTimer timer;
        timer.start();
        QEventLoop loop;
        QObject::connect(&probe, &QThread::finished, &loop, &QEventLoop::quit);
        probe.start();
        loop.exec();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9 / Batch);
    }
}
BENCHMARK(BM_DataExchangeRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20);

// CPU time of the whole program while one simulated controller worker runs and the window
// serves its exchanges, scaled to one minute.
void BM_SimulatedControllerIdleCpu(benchmark::State& state)
{
    for (auto _ : state) {
        ResetDevicesLocal();
        TDeviceInfo demo = DevicesLocal[0];
        demo.StartThread();
        const double before = ProcessCpuSeconds();
        ServeFor(IdleSeconds() * 1000);
        const double used = ProcessCpuSeconds() - before;
        demo.ThreadMFC->GUIOut.ToTerminate = true;
        ServeUntil([&] { return demo.ThreadMFC->GUIIn.IsTerminated; });
        delete demo.ThreadMFC;
        state.counters["cpu_ms_per_minute"] = used * 1000 * 60 / IdleSeconds();
    }
}
BENCHMARK(BM_SimulatedControllerIdleCpu)->Iterations(1)->Unit(benchmark::kSecond);

// The same for a pump worker whose program does not change (the pump simulator runs as a
// program of its own, so its CPU time is not counted).
void BM_IdlePumpCpu(benchmark::State& state)
{
    QProcess simulator;
    simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/pump_simulator"),
                    {QStringLiteral("--time-scale"), QStringLiteral("0.01")});
    if (!simulator.waitForReadyRead(5000)) {
        state.SkipWithError("pump simulator did not start");
        return;
    }
    const QString port = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    for (auto _ : state) {
        TPSD4Thread thread;
        thread.Name = QStringLiteral("idle pump");
        thread.Pump = std::make_unique<TPSD4>();
        thread.Pump->Connect(port);
        QString feedback;
        thread.Pump->Initialize(QStringLiteral("ZN1R"), feedback);
        thread.Pump->WaitUntilFree(15);
        thread.GUIOut.Command = QStringLiteral("TR");
        thread.start();
        ServeFor(2000); // the first cycle sends its stop command once
        const double before = ProcessCpuSeconds();
        ServeFor(IdleSeconds() * 1000);
        const double used = ProcessCpuSeconds() - before;
        thread.GUIOut.ToTerminate = true;
        ServeUntil([&] { return thread.GUIIn.IsTerminated; });
        thread.wait();
        state.counters["cpu_ms_per_minute"] = used * 1000 * 60 / IdleSeconds();
    }
    simulator.terminate();
    simulator.waitForFinished(3000);
}
BENCHMARK(BM_IdlePumpCpu)->Iterations(1)->Unit(benchmark::kSecond);

// CPU time of the whole program while a controller worker, with the instruments' own
// timings, fails every exchange, scaled to one minute. Held: another program has the port
// open, so every open fails at once. Silent: the controller never answers, so every status
// query waits out its read-out time (the in-process simulator that stays silent is counted
// too).
void BM_UnreachableControllerCpu(benchmark::State& state)
{
    const bool held = state.range(0) == 0;
    state.SetLabel(held ? "port held" : "silent");
    ControllerFaults silent;
    silent.NoReply = true;
    auto simulator = std::make_shared<ControllerSimulator>();
    simulator->SetFaults(silent);
    SimulatorHost host(simulator);
    QSerialPort holder;
    holder.setPortName(host.PortPath());
    if (held && !holder.open(QIODevice::ReadWrite)) {
        state.SkipWithError("could not hold the port");
        return;
    }
    for (auto _ : state) {
        TMFCThread thread;
        thread.Name = host.PortPath();
        thread.ThreadID = host.PortPath();
        thread.MFC = std::make_unique<TAlicatMFC>();
        thread.MFC->SetDeviceID('A');
        thread.MFC->COM().SetPort(host.PortPath().toLatin1());
        thread.MFC->COM().SetBaudRate(19200);
        thread.GUIOut.DeviceStatus.GasID = 8;
        thread.start();
        // Past the start-up's initialisation, into the failing cycles.
        ServeUntil([&] { return thread.GUIIn.Communication.State != LinkState::Ok; });
        const int failedBefore = thread.GUIIn.Communication.FailedExchanges;
        const double before = ProcessCpuSeconds();
        ServeFor(IdleSeconds() * 1000);
        const double used = ProcessCpuSeconds() - before;
        state.counters["cpu_ms_per_minute"] = used * 1000 * 60 / IdleSeconds();
        state.counters["failed_cycles_per_s"] =
            double(thread.GUIIn.Communication.FailedExchanges - failedBefore) / IdleSeconds();
        holder.close();
        simulator->SetFaults({});
        thread.GUIOut.ToTerminate = true;
        ServeUntil([&] { return thread.GUIIn.IsTerminated; });
        thread.wait();
    }
}
BENCHMARK(BM_UnreachableControllerCpu)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
