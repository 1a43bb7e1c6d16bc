#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"

#include "devices/Discovery.h"
#include "devices/InstrumentFile.h"
#include "devices/KnownDevices.h"
#include "devices/MFCThread.h"
#include "devices/PortList.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A port on which nothing answers.
class SilentProtocol : public LineProtocol {
public:
    std::optional<SimulatorReply> Answer(const QByteArray&) override { return std::nullopt; }
};

std::shared_ptr<ControllerSimulator> Controller(const QString& serial, double fullScale = 50)
{
    ControllerSimulatorOptions options;
    options.Serial = serial;
    options.FullScale = fullScale;
    options.TimeScale = 0.05;
    return std::make_shared<ControllerSimulator>(options);
}

std::shared_ptr<PumpSimulator> Pump(const QByteArray& serial)
{
    PumpSimulatorOptions options;
    options.Serial = serial;
    options.TimeScale = 0.002;
    return std::make_shared<PumpSimulator>(options);
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        SetSystemPortsIncluded(false);
    }
    void TearDown() override
    {
        ClearAddedSearchPorts();
        SetSystemPortsIncluded(true);
        ResetDevicesLocal();
        ResetKnownDevices();
    }
    QString Serve(std::shared_ptr<LineProtocol> protocol)
    {
        hosts.push_back(std::make_unique<SimulatorHost>(std::move(protocol)));
        AddSearchPort(hosts.back()->PortPath());
        return hosts.back()->PortPath();
    }

    FastInstruments fast;
    RecordingWindow window;
    std::vector<std::unique_ptr<SimulatorHost>> hosts;
};

TEST_F(DiscoveryTest, FindsKnownInstrumentsAndExplainsEveryOtherPort)
{
    const QString controller = Serve(Controller(QStringLiteral("142003")));
    const QString pump = Serve(Pump("23011002"));
    const QString stranger = Serve(Controller(QStringLiteral("999999")));
    const QString silent = Serve(std::make_shared<SilentProtocol>());
    // A demo device the operator applied: its worker must be stopped before its record goes.
    ASSERT_TRUE(DevicesLocal[0].StartThread());

    Searchdevices1Click(window);

    ASSERT_EQ(DevicesLocal.size(), 2u);
    TDeviceInfo device;
    ASSERT_TRUE(GetDeviceByPort(controller, device));
    EXPECT_EQ(device.Serial, QStringLiteral("142003"));
    ASSERT_TRUE(GetDeviceByPort(pump, device));
    EXPECT_EQ(device.DevType, dtPump);
    EXPECT_EQ(window.rows.size(), 2);

    const QString log = window.log.join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("Found ports: ") + QStringList{controller, pump, stranger, silent}.join(u',')));
    EXPECT_EQ(window.log.count(QStringLiteral("Valid MFC found!!!")), 1);
    EXPECT_EQ(window.log.count(QStringLiteral("Pump found!!!")), 1);
    EXPECT_EQ(window.log.count(QStringLiteral("No valid MFC or Pump on port")), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("    => Invalid serial number for MFC")));
    EXPECT_TRUE(log.contains(QStringLiteral("    => Failed to communicate")));
    EXPECT_TRUE(log.contains(QStringLiteral("    => No pump on port")));
    EXPECT_TRUE(window.messageLog.contains(QStringLiteral("Finished searching devices")));
    EXPECT_TRUE(window.headerDue);
    EXPECT_TRUE(window.engineTimer);
    EXPECT_EQ(window.saves.first(), QStringLiteral("force SearchDevicesClick"));
    EXPECT_EQ(window.progress.last(), QStringLiteral("Search finished 4/4"));
}

TEST_F(DiscoveryTest, APumpWithAnUnknownSerialIsNotAdded)
{
    Serve(Pump("87654321"));
    Searchdevices1Click(window);
    EXPECT_TRUE(DevicesLocal.empty());
    const QString log = window.log.join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("    => Pump found but wrong serial")));
    EXPECT_TRUE(log.contains(QStringLiteral("    => Pump serial:87654321")));
}

TEST_F(DiscoveryTest, NoPortsGiveAnEmptyListAndTheClosingLines)
{
    Searchdevices1Click(window);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Found ports: ")));
    EXPECT_TRUE(window.rows.isEmpty());
    EXPECT_TRUE(window.messageLog.contains(QStringLiteral("Click found devices to configure them")));
}

// The ports are probed at the same time, yet the log tells each port's story in one piece and
// in the order of the port list, the slow silent port first.
TEST_F(DiscoveryTest, EachPortsLinesStayTogetherInThePortListsOrder)
{
    const QStringList ports{Serve(std::make_shared<SilentProtocol>()), Serve(Controller(QStringLiteral("142003"))),
                            Serve(Controller(QStringLiteral("999999"))), Serve(Pump("23011002"))};
    Searchdevices1Click(window);

    const QStringList scanned = window.log.filter(QStringLiteral("Scanning port: "));
    ASSERT_EQ(scanned.size(), 4);
    for (qsizetype i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(scanned[i], QStringLiteral("Scanning port: ") + ports[i]);
        const qsizetype begin = window.log.indexOf(scanned[i]);
        const qsizetype end = i + 1 < ports.size() ? window.log.indexOf(scanned[i + 1]) : window.log.size();
        for (qsizetype line = begin; line < end; ++line) {
            for (qsizetype other = 0; other < ports.size(); ++other) {
                if (other != i) {
                    EXPECT_FALSE(window.log[line].contains(ports[other] + u'\r')) << window.log[line].toStdString();
                }
            }
        }
    }
    EXPECT_EQ(window.log.indexOf(QStringLiteral("Valid MFC found!!!")), window.log.indexOf(scanned[1]) + 2);
    EXPECT_EQ(window.log.indexOf(QStringLiteral("Pump found!!!")), window.log.indexOf(scanned[3]) + 3);
    EXPECT_EQ(DevicesLocal.size(), 2u);
    // Progress names the port the log waits for and counts the ports done of all ports.
    EXPECT_EQ(window.progress.first(), QStringLiteral("Scanning ports, waiting for ") + ports[0] + QStringLiteral(" 0/4"));
    EXPECT_EQ(window.progress.last(), QStringLiteral("Search finished 4/4"));
    int done = 0;
    for (const QString& shown : window.progress) {
        const int now = shown.section(u' ', -1).section(u'/', 0, 0).toInt();
        EXPECT_GE(now, done) << shown.toStdString();
        done = now;
    }
}

// A search after the first brings the applied instruments to zero, stops their workers and
// saves the flow log, then finds the instruments again.
TEST_F(DiscoveryTest, ASecondSearchStopsTheWorkersAndSearchesAgain)
{
    const auto controller = Controller(QStringLiteral("142003"));
    const QString port = Serve(controller);
    Serve(Pump("23011002"));
    Searchdevices1Click(window);
    ASSERT_EQ(DevicesLocal.size(), 2u);
    const int index = IndexOfDevicePort(port);
    ASSERT_GE(index, 0);
    ASSERT_TRUE(DevicesLocal[std::size_t(index)].StartThread());
    TMFCThread& worker = *DevicesLocal[std::size_t(index)].ThreadMFC;
    worker.GUIOut.DeviceStatus.GasID = 8;
    worker.GUIOut.DeviceStatus.Setpoint_pct = 40;
    ASSERT_TRUE(ServeUntil([&] { return controller->SetpointCounts() == 25600; }, 20000));

    window.log.clear();
    window.rows.clear();
    Searchdevices1Click(window);

    EXPECT_EQ(controller->SetpointCounts(), 0);
    EXPECT_EQ(window.saves.count(QStringLiteral("force SearchDevicesClick")), 2);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Valid MFC found!!!")));
    EXPECT_TRUE(window.log.contains(QStringLiteral("Pump found!!!")));
    ASSERT_EQ(DevicesLocal.size(), 2u);
    for (const TDeviceInfo& device : DevicesLocal)
        EXPECT_EQ(device.ThreadMFC, nullptr);
    EXPECT_EQ(window.rows.size(), 2);
}

TEST_F(DiscoveryTest, TwoInstrumentsWithOneSerialNumberAddOnlyTheFirst)
{
    const QString first = Serve(Controller(QStringLiteral("142003")));
    const QString second = Serve(Controller(QStringLiteral("142003")));
    Searchdevices1Click(window);
    ASSERT_EQ(DevicesLocal.size(), 1u);
    EXPECT_EQ(DevicesLocal[0].COMPort, first);
    EXPECT_EQ(window.rows.size(), 1);
    const QStringList warning = window.log.filter(QStringLiteral("report the same serial number 142003"));
    ASSERT_EQ(warning.size(), 1);
    EXPECT_TRUE(warning[0].contains(first));
    EXPECT_TRUE(warning[0].contains(second));
}

// An instrument of the lab that the file does not list yet: the log names it and gives the
// entry, and once that entry is in the file the next start's search finds it.
TEST_F(DiscoveryTest, AnUnlistedInstrumentIsFoundOnceItsEntryIsAdded)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("instruments.ini"));
    InstallInstrumentFile(file); // the first run's example
    const QString controllerPort = Serve(Controller(QStringLiteral("777001"), 200));
    const QString pumpPort = Serve(Pump("77701002"));
    Searchdevices1Click(window);
    EXPECT_TRUE(DevicesLocal.empty());

    const auto entryFor = [this](const QString& what) {
        const QStringList found = window.log.filter(what);
        EXPECT_EQ(found.size(), 1) << what.toStdString();
        const QString text = found.value(0);
        return text.mid(text.indexOf(QStringLiteral("[instrument]"))).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    const QString controllerEntry = entryFor(QStringLiteral("Not in the instrument file: controller on port ") + controllerPort
                                             + QStringLiteral(", serial number 777001, full scale 200.00 SCCM."));
    const QString pumpEntry = entryFor(QStringLiteral("Not in the instrument file: pump on port ") + pumpPort
                                       + QStringLiteral(", serial number 77701002."));
    EXPECT_TRUE(window.log.join(u'\n').contains(QStringLiteral("add this entry to ") + file));
    EXPECT_TRUE(controllerEntry.contains(QStringLiteral("serial = 777001\n")));
    EXPECT_TRUE(controllerEntry.endsWith(QStringLiteral("\nfull_scale_sccm = 200")));
    EXPECT_TRUE(pumpEntry.contains(QStringLiteral("type = Pump\n")));

    {
        QFile lab(file);
        ASSERT_TRUE(lab.open(QIODevice::Append));
        lab.write(('\n' + controllerEntry + '\n' + pumpEntry).toUtf8());
    }
    const InstrumentTable table = InstallInstrumentFile(file);
    ASSERT_TRUE(table.Refusal.isEmpty()) << table.Refusal.toStdString();
    EXPECT_EQ(KnownDevices().size(), 27u);
    window.log.clear();
    Searchdevices1Click(window);
    ASSERT_EQ(DevicesLocal.size(), 2u) << window.log.join(u'\n').toStdString();
    TDeviceInfo device;
    ASSERT_TRUE(GetDeviceByPort(controllerPort, device));
    EXPECT_EQ(device.Serial, QStringLiteral("777001"));
    EXPECT_EQ(device.FlowUnitDevice.GasFlowMax(), 200);
    ASSERT_TRUE(GetDeviceByPort(pumpPort, device));
    EXPECT_EQ(device.DevType, dtPump);
    EXPECT_TRUE(window.log.filter(QStringLiteral("Not in the instrument file")).isEmpty());
}

// A pump that reports the serial number of a controller entry is no controller.
TEST_F(DiscoveryTest, AnEntryOfTheOtherKindIsNoMatch)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("instruments.ini"));
    {
        QFile lab(file);
        ASSERT_TRUE(lab.open(QIODevice::WriteOnly));
        lab.write("[instrument]\nserial = 23011002\ntype = MFC-A\nfull_scale_sccm = 50\n");
    }
    InstallInstrumentFile(file);
    Serve(Pump("23011002"));
    Searchdevices1Click(window);
    EXPECT_TRUE(DevicesLocal.empty());
    EXPECT_TRUE(window.log.join(u'\n').contains(QStringLiteral("    => Pump found but wrong serial")));
}

} // namespace
