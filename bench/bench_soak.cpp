// A long run of the main window in accelerated time: four controllers and a pump in segment
// mode, one engine tick per simulated second, on the settable clock. The workers are stand-ins
// that are never started: each simulated second their exchange records are filled as a worker
// would fill them (a reading following the setpoint, the pump applying its dose), so the run
// measures the window and not the instruments. Flow logs are handed to a writer that only
// counts the bytes, so the run measures the window and not the disk.
//
// TESSALY_SOAK_DAYS sets the simulated length (default 1 day; 7 for the full week).
//
// Reported: the tick's own work (its pauses skipped) over the first and the last simulated
// hour, as elapsed time and as the CPU time of the window's thread (which a busy machine does
// not inflate); the cost of a message-log line and of a data row at the start and at the end; a
// chart redraw at the end; the process memory before and after.
#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/GasTable.h"
#include "core/UserMessages.h"
#include "devices/DeviceInfo.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "ui/DataTable.h"
#include "ui/DataTableLines.h"
#include "ui/EngineTick.h"
#include "ui/FlowChart.h"
#include "ui/FlowLog.h"
#include "ui/LedStrip.h"
#include "ui/MainWindow.h"
#include "ui/MessageLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <numeric>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Controllers = 4;
constexpr int SecondsPerHour = 3600;
constexpr int SamplesForCost = 2000;
// How often (simulated seconds) the run lets the window's own events run (the chart's redraw
// timer, the flow log's outcomes), as the message loop would between ticks.
constexpr int EventsEvery = 600;

QDateTime& Moment()
{
    static QDateTime moment(QDate(2025, 6, 2), QTime(8, 0));
    return moment;
}

QDateTime SimulatedNow()
{
    return Moment();
}

double SoakDays()
{
    bool ok = false;
    const double days = qEnvironmentVariable("TESSALY_SOAK_DAYS").toDouble(&ok);
    return ok && days > 0 ? days : 1;
}

double ResidentMB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return double(resident) * 4096 / (1024 * 1024);
}

double Microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// CPU time of the calling thread, µs.
double ThreadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

struct TTickTime {
    double ElapsedUs = 0;
    double CpuUs = 0;
};

// A week of ramps and steps, a point every six hours, shifted per device.
QString WeekProgram(int device)
{
    QStringList lines;
    for (int i = 0; i <= 7 * 4; ++i) {
        const int minutes = i * 360 + device * 15;
        const int setpoint = (i * 37 + device * 23) % 101;
        lines << QStringLiteral("%1 %2 %3").arg(minutes).arg(setpoint).arg(i % 2 ? "Ramp" : "Step");
    }
    return lines.join(QStringLiteral("\r\n"));
}

struct TStats {
    double Mean = 0;
    double P99 = 0;
    double Max = 0;
};

TStats Stats(std::vector<double> samples)
{
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
    return {sum / double(samples.size()), samples[std::size_t(double(samples.size() - 1) * 0.99)], samples.back()};
}

class Soak {
public:
    Soak()
    {
        SetClockSource(&SimulatedNow);
        QDir::setCurrent(fFolder.path());
        ResetDevicesLocal();
        window = std::make_unique<TGUIF>();
        window->TimerEngine().stop();
        window->Engine().SetSleep([](int) {});
        window->FlowLogs().SetFolder(fFolder.path() + QStringLiteral("/Logs"));
        window->FlowLogs().SetWriter([this](const QString&, const DataTable::TSnapshot& text) {
            ++fSaves;
            for (const QByteArray& block : text)
                fSavedBytes += block.size();
            return QString();
        });
        window->resize(1600, 1000);
        window->show();
        QCoreApplication::processEvents();

        const double start = NowDays();
        DevicesLocal.clear();
        for (int i = 0; i < Controllers; ++i) {
            TDeviceInfo device = MakeControllerRecord(tDeviceType(dtMFCA + i), QString::number(142001 + i),
                                                      QStringLiteral("Line %1").arg(i + 1), NamedColor::Red, 100);
            device.COMPort = QStringLiteral("COM%1").arg(i + 1);
            device.FluidID = 0;
            TGasItem air;
            GetGas_ID(0, air);
            device.FlowUnitDevice.GasMolarMass = air.GetMolarMass();
            device.FlowUnitUser.GasMolarMass = air.GetMolarMass();
            fControllers.push_back(std::make_unique<TMFCThread>());
            device.ThreadMFC = fControllers.back().get();
            DevicesLocal.push_back(device);
        }
        TDeviceInfo pump = MakeControllerRecord(dtPump, QStringLiteral("23011001"), QStringLiteral("Humidifier"),
                                                NamedColor::Blue, 0);
        pump.COMPort = QStringLiteral("COM5");
        pump.FluidID = 1001;
        pump.SyringeSizeuL = 250;
        pump.MaxFlow_ulpm = 6250;
        fPump = std::make_unique<TPSD4Thread>();
        pump.ThreadPump = fPump.get();
        DevicesLocal.push_back(pump);

        window->ClearDeviceRows();
        for (int i = 0; i < int(DevicesLocal.size()); ++i) {
            TDeviceInfo& device = DevicesLocal[std::size_t(i)];
            device.ControlMode = dcmSegment;
            device.MarkFlowStart();
            device.SegmentProgram = WeekProgram(i);
            device.Led = window->AddLedForThread();
            window->AddDeviceRow(device);
        }
        window->TimeOrigin = start;
        window->SetDataTableHeaderDue();
    }

    ~Soak()
    {
        for (TDeviceInfo& device : DevicesLocal) {
            device.ThreadMFC = nullptr;
            device.ThreadPump = nullptr;
        }
        window->FlowLogs().WaitForSaves(60000);
        window.reset();
        ResetDevicesLocal();
        SetClockSource(nullptr);
    }

    // One simulated second: the workers report, then the window ticks. Returns the tick's time.
    TTickTime Second()
    {
        Moment() = Moment().addSecs(1);
        const double now = NowDays();
        for (std::size_t i = 0; i < fControllers.size(); ++i) {
            TThreadData& in = fControllers[i]->GUIIn;
            const double setpoint = fControllers[i]->GUIOut.DeviceStatus.Setpoint_pct;
            in.DeviceStatus.DataTime = now;
            in.DeviceStatus.FlowRate_mass = setpoint * 640 + double((fTicks * 7 + i * 13) % 11) - 5;
            in.DeviceStatus.MaxFlowgpm = 0.1 * double(i + 1);
        }
        fPump->GUIIn.Setpoint = fPump->GUIOut.Setpoint;
        const double cpuBefore = ThreadCpuMicroseconds();
        const Clock::time_point before = Clock::now();
        window->Engine().TimerEngineTimer();
        const TTickTime took{Microseconds(Clock::now() - before), ThreadCpuMicroseconds() - cpuBefore};
        if (++fTicks % EventsEvery == 0)
            QCoreApplication::processEvents();
        return took;
    }

    // Mean cost of adding a message-log line and a data row, µs.
    std::pair<double, double> AppendCosts()
    {
        const QString row = DataRowStamp(Moment()) + DataRowCell(12.5).repeated(5);
        Clock::time_point before = Clock::now();
        for (int i = 0; i < SamplesForCost; ++i)
            window->MM(QStringLiteral(" Desired dispense, µg: 1234.5"));
        const double line = Microseconds(Clock::now() - before) / SamplesForCost;
        before = Clock::now();
        for (int i = 0; i < SamplesForCost; ++i)
            window->AppendDataRow(row);
        const double dataRow = Microseconds(Clock::now() - before) / SamplesForCost;
        return {line, dataRow};
    }

    // A redraw of the chart: its reduced view rebuilt and painted.
    double RedrawMs()
    {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            const Clock::time_point before = Clock::now();
            window->Chart().Redraw();
            window->Chart().repaint();
            best = std::min(best, Microseconds(Clock::now() - before) / 1000);
        }
        return best;
    }

    std::unique_ptr<TGUIF> window;
    std::atomic<long long> fSaves{0};
    std::atomic<long long> fSavedBytes{0};

private:
    QTemporaryDir fFolder;
    MessageCapture fMessages;
    std::vector<std::unique_ptr<TMFCThread>> fControllers;
    std::unique_ptr<TPSD4Thread> fPump;
    long long fTicks = 0;
};

void BM_Soak(benchmark::State& state)
{
    const long long seconds = std::llround(SoakDays() * 86400);
    for (auto _ : state) {
        Soak soak;
        const double memoryBefore = ResidentMB();
        const auto [lineStart, rowStart] = soak.AppendCosts();
        std::vector<double> first;
        std::vector<double> last;
        std::vector<double> firstCpu;
        std::vector<double> lastCpu;
        for (long long s = 0; s < seconds; ++s) {
            const TTickTime tick = soak.Second();
            if (s < SecondsPerHour) {
                first.push_back(tick.ElapsedUs);
                firstCpu.push_back(tick.CpuUs);
            } else if (s >= seconds - SecondsPerHour) {
                last.push_back(tick.ElapsedUs);
                lastCpu.push_back(tick.CpuUs);
            }
        }
        const auto [lineEnd, rowEnd] = soak.AppendCosts();
        const double redraw = soak.RedrawMs();
        const double memoryAfter = ResidentMB();
        const TStats start = Stats(first);
        const TStats end = Stats(last);
        const TStats startCpu = Stats(firstCpu);
        const TStats endCpu = Stats(lastCpu);

        state.counters["days"] = double(seconds) / 86400;
        state.counters["tick_first_hour_mean_us"] = start.Mean;
        state.counters["tick_last_hour_mean_us"] = end.Mean;
        state.counters["tick_last_hour_p99_us"] = end.P99;
        state.counters["tick_last_hour_max_us"] = end.Max;
        state.counters["tick_cpu_first_hour_mean_us"] = startCpu.Mean;
        state.counters["tick_cpu_last_hour_mean_us"] = endCpu.Mean;
        state.counters["tick_cpu_last_hour_p99_us"] = endCpu.P99;
        state.counters["tick_cpu_last_hour_max_us"] = endCpu.Max;
        state.counters["log_line_start_us"] = lineStart;
        state.counters["log_line_end_us"] = lineEnd;
        state.counters["data_row_start_us"] = rowStart;
        state.counters["data_row_end_us"] = rowEnd;
        state.counters["chart_redraw_end_ms"] = redraw;
        state.counters["rss_before_MB"] = memoryBefore;
        state.counters["rss_after_MB"] = memoryAfter;
        state.counters["data_rows"] = double(soak.window->MemoData().LineCount());
        state.counters["log_saves"] = double(soak.fSaves);
        std::printf("soak %.2f days: tick first hour mean %.0f us (p99 %.0f, max %.0f); last hour mean %.0f us "
                    "(p99 %.0f, max %.0f)\n"
                    "  tick CPU first hour mean %.0f us (p99 %.0f, max %.0f); last hour mean %.0f us (p99 %.0f, max %.0f)\n"
                    "  log line %.1f us -> %.1f us; data row %.1f us -> %.1f us; chart redraw %.1f ms; "
                    "rss %.0f MB -> %.0f MB; %lld data lines; %lld log saves\n",
                    double(seconds) / 86400, start.Mean, start.P99, start.Max, end.Mean, end.P99, end.Max, startCpu.Mean,
                    startCpu.P99, startCpu.Max, endCpu.Mean, endCpu.P99, endCpu.Max, lineStart,
                    lineEnd, rowStart, rowEnd, redraw, memoryBefore, memoryAfter,
                    static_cast<long long>(soak.window->MemoData().LineCount()), static_cast<long long>(soak.fSaves));
    }
}
BENCHMARK(BM_Soak)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
