#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"

#include "core/UserMessages.h"
#include "devices/Discovery.h"
#include "devices/MFCThread.h"
#include "devices/PortList.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"

#include <gtest/gtest.h>

namespace {

// A port on which nothing answers.
class SilentProtocol : public LineProtocol {
public:
    std::optional<SimulatorReply> Answer(const QByteArray&) override { return std::nullopt; }
};

std::shared_ptr<ControllerSimulator> Controller(const QString& serial)
{
    ControllerSimulatorOptions options;
    options.Serial = serial;
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

    bool searchDone = false;
    Searchdevices1Click(window, searchDone);

    EXPECT_TRUE(searchDone);
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

    MessageCapture messages;
    Searchdevices1Click(window, searchDone);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("Functionality to re-search")));
}

TEST_F(DiscoveryTest, APumpWithAnUnknownSerialIsNotAdded)
{
    Serve(Pump("87654321"));
    bool searchDone = false;
    Searchdevices1Click(window, searchDone);
    EXPECT_TRUE(DevicesLocal.empty());
    const QString log = window.log.join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("    => Pump found but wrong serial")));
    EXPECT_TRUE(log.contains(QStringLiteral("    => Pump serial:87654321")));
}

TEST_F(DiscoveryTest, NoPortsGiveAnEmptyListAndTheClosingLines)
{
    bool searchDone = false;
    Searchdevices1Click(window, searchDone);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Found ports: ")));
    EXPECT_TRUE(window.rows.isEmpty());
    EXPECT_TRUE(window.messageLog.contains(QStringLiteral("Click found devices to configure them")));
    EXPECT_TRUE(searchDone);
}

} // namespace
