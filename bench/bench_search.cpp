// How long "Search Devices" takes over four simulated ports with the instruments' real
// transport times: a known controller, a known pump, a controller whose serial number no
// entry lists, and a port on which nothing answers. The pump's plunger moves run ten times
// faster than a real pump's, so the figure is mostly the probes' waits for replies.
#include "devices/DeviceInfo.h"
#include "devices/Discovery.h"
#include "devices/PortList.h"
#include "devices/WindowPort.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

class SilentPort : public LineProtocol {
public:
    std::optional<SimulatorReply> Answer(const QByteArray&) override { return std::nullopt; }
};

// The window as the search sees it, doing nothing but letting events run.
class QuietWindow : public WindowPort {
public:
    void MM(const QString&) override {}
    void AppendMessageLog(const QString&) override {}
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void LockWindow(const QString&, const QString&) override {}
    void UnlockWindow() override {}
    void ShowProgress(const QString&, int, int) override {}
    void SetEngineTimerEnabled(bool) override {}
    void ClearDeviceRows() override {}
    void AddDeviceRow(const TDeviceInfo&) override {}
    void MarkAllRowsUnknown() override {}
    void ShowDeviceDetails(const TDeviceInfo&) override {}
    void RefreshDeviceRow(const TDeviceInfo&) override {}
    void ClearGraph(bool) override {}
    void FlowDataSave(bool, const QString&) override {}
    void ClearDataTable() override {}
    void SetDataTableHeaderDue() override {}
};

std::shared_ptr<ControllerSimulator> Controller(const QString& serial)
{
    ControllerSimulatorOptions options;
    options.Serial = serial;
    return std::make_shared<ControllerSimulator>(options);
}

void BM_SearchFourPorts(benchmark::State& state)
{
    PumpSimulatorOptions pump;
    pump.Serial = "23011002";
    pump.TimeScale = 0.1;
    std::vector<std::unique_ptr<SimulatorHost>> hosts;
    hosts.push_back(std::make_unique<SimulatorHost>(Controller(QStringLiteral("142003"))));
    hosts.push_back(std::make_unique<SimulatorHost>(std::make_shared<PumpSimulator>(pump)));
    hosts.push_back(std::make_unique<SimulatorHost>(Controller(QStringLiteral("999999"))));
    hosts.push_back(std::make_unique<SimulatorHost>(std::make_shared<SilentPort>()));
    SetSystemPortsIncluded(false);
    for (const auto& host : hosts)
        AddSearchPort(host->PortPath());

    QuietWindow window;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        Searchdevices1Click(window);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (DevicesLocal.size() != 2)
            state.SkipWithError("the search did not find the controller and the pump");
    }
    ClearAddedSearchPorts();
    SetSystemPortsIncluded(true);
    ResetDevicesLocal();
}
BENCHMARK(BM_SearchFourPorts)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);

} // namespace
