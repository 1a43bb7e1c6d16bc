#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/Errors.h"
#include "core/SegmentProgram.h"
#include "core/UserMessages.h"
#include "devices/DeviceInfo.h"
#include "devices/KnownDevices.h"
#include "core/QStringPrinter.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

class DeviceListTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDevicesLocal(); }
    void TearDown() override { ResetDevicesLocal(); }
};

std::vector<QString> Ports()
{
    std::vector<QString> ports;
    for (const TDeviceInfo& device : DevicesLocal)
        ports.push_back(device.COMPort);
    return ports;
}

TEST_F(DeviceListTest, StartsWithTheTwoDemoControllers)
{
    ASSERT_EQ(Ports(), (std::vector<QString>{"COMX", "COMY"}));
    struct Expected {
        const char* serial;
        QRgb color;
        double fullScale;
        double duration;
    };
    const Expected expected[] = {{"123456", NamedColor::Purple, 50, 24}, {"1234567", NamedColor::Green, 500, 8}};
    MessageCapture messages;
    for (std::size_t i = 0; i < 2; ++i) {
        const TDeviceInfo& device = DevicesLocal[i];
        EXPECT_EQ(device.DevType, dtMFCDemo);
        EXPECT_EQ(device.Serial, expected[i].serial);
        EXPECT_EQ(device.NameRole, "Virtual Demo");
        EXPECT_EQ(device.Color, expected[i].color);
        EXPECT_EQ(device.ControlMode, dcmDirect);
        EXPECT_EQ(device.FluidID, -1);
        EXPECT_EQ(device.Setpoint_pct, 0);
        EXPECT_EQ(device.FlowUnitDevice.Name, "ml/min");
        EXPECT_EQ(device.FlowUnitDevice.GasName, "Air");
        EXPECT_DOUBLE_EQ(device.FlowUnitDevice.GasFlowMax(), expected[i].fullScale);
        EXPECT_DOUBLE_EQ(device.FlowUnitUser.GasFlowMax(), expected[i].fullScale);
        EXPECT_EQ(device.FlowUnitUser.Temperature, 25);
        EXPECT_EQ(SegmentCount(device.SegmentProgram), 6);
        EXPECT_FALSE(device.SegmentProgram.endsWith(u'\n'));
        EXPECT_DOUBLE_EQ(SegmentProgramDuration(device.SegmentProgram), expected[i].duration);
        EXPECT_FALSE(device.ThreadMFC || device.ThreadPump || device.Led || device.SerieFlow || device.SerieSegment);
        EXPECT_TRUE(device.Data.empty());
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
    TSegment second;
    ASSERT_TRUE(ReadSegment(1, DevicesLocal[0].SegmentProgram, second));
    EXPECT_EQ(second.Note, "Some_random_comment");
}

TEST_F(DeviceListTest, StandardUnits)
{
    EXPECT_EQ(DefaultUnitGmin.Name, "g/min");
    EXPECT_EQ(DefaultUnitGmin.GasFlowType, gfuGrams);
    EXPECT_EQ(DefaultUnitGmin.GasFlowVolumeUnit, gfvuUndefined);
    EXPECT_EQ(DefaultUnitGmin.Temperature, 0);
    EXPECT_EQ(DefaultUnitGmin.GasMolarMass, 1.0);

    EXPECT_EQ(DefaultUnitMlmin.Name, "ml/min");
    EXPECT_EQ(DefaultUnitMlmin.GasFlowType, gfuVolumetric);
    EXPECT_EQ(DefaultUnitMlmin.GasFlowVolumeUnit, gfvuMLN);
    EXPECT_EQ(DefaultUnitMlmin.Temperature, 25);
    EXPECT_EQ(DefaultUnitMlmin.GasMolarMass, 28.9647);

    EXPECT_EQ(DefaultUnitUlmin.Name, QString::fromUtf8("\xC2\xB5l/min"));
    EXPECT_EQ(DefaultUnitUlmin.Temperature, 20);
    EXPECT_EQ(DefaultUnitUlmin.GasName, "");

    for (const TGasFlowDetails* unit : {&DefaultUnitGmin, &DefaultUnitMlmin, &DefaultUnitUlmin}) {
        EXPECT_EQ(unit->GasFlowTimeUnit, gfMinute);
        EXPECT_EQ(unit->TemperatureUnit, tuC);
        EXPECT_EQ(unit->Pressure_BarA, 1.01325);
    }

    // The engine tick's use: a reading in g/min into a controller's ml/min.
    DefaultUnitGmin.GasFlowValue = 1;
    DefaultUnitGmin.GasMolarMass = 28.9647;
    TGasFlowDetails user = DevicesLocal[0].FlowUnitUser;
    QString feedback;
    QString report;
    ASSERT_TRUE(ConvertGasFlow(DefaultUnitGmin, user, feedback, report)) << feedback.toStdString();
    EXPECT_NEAR(user.GasFlowValue, 844.7, 0.05);
}

TEST_F(DeviceListTest, PortLookupTrimsButKeepsLetterCase)
{
    TDeviceInfo found;
    for (const char* port : {"COMX", "  COMX ", "\tCOMX\r\n"}) {
        EXPECT_TRUE(GetDeviceByPort(QString::fromLatin1(port), found)) << port;
        EXPECT_EQ(found.Serial, "123456");
        EXPECT_EQ(IndexOfDevicePort(QString::fromLatin1(port)), 0);
    }
    EXPECT_EQ(IndexOfDevicePort("COMY"), 1);

    TDeviceInfo untouched;
    untouched.NameRole = QStringLiteral("marker");
    for (const char* port : {"comx", "COM", "COMXY", ""}) {
        EXPECT_FALSE(GetDeviceByPort(QString::fromLatin1(port), untouched)) << port;
        EXPECT_EQ(untouched.NameRole, "marker");
        EXPECT_EQ(IndexOfDevicePort(QString::fromLatin1(port)), -1);
    }
}

TEST_F(DeviceListTest, WriteBackReplacesTheWholeRecordOfItsPort)
{
    TDeviceInfo device;
    ASSERT_TRUE(GetDeviceByPort("COMY", device));
    device.NameRole = QStringLiteral("Renamed");
    device.FluidID = 5;
    device.SegmentProgram.clear();
    device.COMPort = QStringLiteral(" COMY ");
    EXPECT_TRUE(SetDeviceByPort(device));
    EXPECT_EQ(DevicesLocal[1].NameRole, "Renamed");
    EXPECT_EQ(DevicesLocal[1].FluidID, 5);
    EXPECT_TRUE(DevicesLocal[1].SegmentProgram.isEmpty());
    EXPECT_EQ(DevicesLocal[0].NameRole, "Virtual Demo");

    const std::vector<TDeviceInfo> before = DevicesLocal;
    device.COMPort = QStringLiteral("COM7");
    device.NameRole = QStringLiteral("Elsewhere");
    EXPECT_FALSE(SetDeviceByPort(device));
    ASSERT_EQ(DevicesLocal.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(DevicesLocal[i].COMPort, before[i].COMPort);
        EXPECT_EQ(DevicesLocal[i].NameRole, before[i].NameRole);
    }
}

TEST_F(DeviceListTest, SortByRoleIgnoringCaseThenByType)
{
    const auto entry = [](const char* port, const char* role, tDeviceType type) {
        TDeviceInfo device;
        device.COMPort = QString::fromLatin1(port);
        device.NameRole = QString::fromLatin1(role);
        device.DevType = type;
        return device;
    };
    DevicesLocal = {entry("COM1", "b", dtPump), entry("COM2", "A", dtMFCB), entry("COM3", "a", dtMFCA)};
    SortDevicesLocalArray();
    EXPECT_EQ(Ports(), (std::vector<QString>{"COM3", "COM2", "COM1"}));

    // Letters fold to capitals, so an underscore sorts after every letter.
    DevicesLocal = {entry("COM1", "Blendor 2", dtMFCA), entry("COM2", "blendor 1", dtMFCD),
                    entry("COM3", "Blendor_1", dtMFCA), entry("COM4", "BLENDOR 1", dtMFCA),
                    entry("COM5", "blendorx", dtPump)};
    SortDevicesLocalArray();
    EXPECT_EQ(Ports(), (std::vector<QString>{"COM4", "COM2", "COM1", "COM5", "COM3"}));
}

QDateTime gNow;
QDateTime FixedNow() { return gNow; }

TEST_F(DeviceListTest, ElapsedMinutesFollowTheClock)
{
    gNow = QDateTime(QDate(2024, 6, 1), QTime(12, 0, 30));
    const ClockSource previous = SetClockSource(&FixedNow);
    TDeviceInfo device;
    device.MarkFlowStart();
    EXPECT_EQ(device.FlowStartTime, DateTimeToDays(gNow));
    gNow = gNow.addSecs(90);
    EXPECT_NEAR(device.Elapsed_min(), 1.5, 1e-9);
    gNow = gNow.addSecs(3600);
    EXPECT_NEAR(device.Elapsed_min(), 61.5, 1e-9);
    SetClockSource(previous);
}

qint64 gSteadyMs = 0;
qint64 FixedSteady() { return gSteadyMs; }

// The local clock set back an hour (by hand, or the autumn change) while the steady clock
// runs on: a program that starts with a ramp must not be evaluated before its start.
TEST_F(DeviceListTest, ElapsedMinutesRunOnWhenTheLocalClockIsSetBack)
{
    gNow = QDateTime(QDate(2024, 10, 27), QTime(2, 50));
    gSteadyMs = 5'000'000;
    const ClockSource previous = SetClockSource(&FixedNow);
    const SteadySource previousSteady = SetSteadySource(&FixedSteady);
    TDeviceInfo device;
    device.MarkFlowStart();
    const double shownStart = device.FlowStartTime;

    gNow = gNow.addSecs(-3600 + 60);
    gSteadyMs += 60'000;
    EXPECT_DOUBLE_EQ(device.Elapsed_min(), 1);
    EXPECT_EQ(device.FlowStartTime, shownStart) << "the local start time stays for display and logs";
    EXPECT_DOUBLE_EQ(SegmentAt(QStringLiteral("0 0 Step\r\n10 100 Ramp"), device.Elapsed_min()).Setpoint, 10);

    SetSteadySource(previousSteady);
    SetClockSource(previous);
}

TEST(DeviceRecord, FluidNameByTypeAndGas)
{
    TDeviceInfo pump;
    pump.DevType = dtPump;
    for (int id : {-1, 0, 1001, 123456}) {
        pump.FluidID = id;
        EXPECT_EQ(pump.Fluidname(), "Pump");
    }

    struct Case {
        tDeviceType type;
        int gas;
        const char* name;
    };
    const Case cases[] = {
        {dtMFCA, -1, "Unconfigured"}, {dtMFCDemo, -1, "Unconfigured"}, {dtMFCC, 1, "Ar"},
        {dtMFCD, 0, "Mixture"},       {dtMFCB, 301, "Unknown"},
    };
    for (const Case& c : cases) {
        TDeviceInfo controller;
        controller.DevType = c.type;
        controller.FluidID = c.gas;
        EXPECT_EQ(controller.Fluidname(), c.name) << c.gas;
    }
    TDeviceInfo unknownGas;
    unknownGas.FluidID = 4242;
    EXPECT_THROW(unknownGas.Fluidname(), TessalyError);
}

TEST(DeviceRecord, TypeTexts)
{
    const std::pair<const char*, const char*> texts[] = {{"MFC-A", "Blendor"}, {"MFC-B", "Blendor"},
                                                         {"MFC-C", "Blendor"}, {"MFC-D", "Blendor"},
                                                         {"Pump", "Dampor"},   {"MFC", "Simulated"}};
    for (int type = dtMFCA; type <= dtMFCDemo; ++type) {
        EXPECT_EQ(DeviceTypeName(tDeviceType(type)), texts[type].first);
        EXPECT_EQ(DeviceInstrumentName(tDeviceType(type)), texts[type].second);
    }
    EXPECT_EQ(DeviceTypeName(tDeviceType(6)), "");
    EXPECT_EQ(DeviceInstrumentName(tDeviceType(200)), "");
}

TEST(KnownDeviceTable, RowsOfTheInstallation)
{
    const std::vector<TDeviceInfo>& rows = KnownDevices();
    ASSERT_EQ(rows.size(), 25u);
    int controllers = 0;
    int pumps = 0;
    int prototypePumps = 0;
    QSet<QString> serials;
    MessageCapture messages;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TDeviceInfo& row = rows[i];
        EXPECT_EQ(row.FluidID, -1);
        EXPECT_EQ(row.ControlMode, dcmDirect);
        EXPECT_EQ(row.Setpoint_pct, 0);
        EXPECT_TRUE(row.COMPort.isEmpty());
        EXPECT_FALSE(row.NameRole.isEmpty());
        serials.insert(row.Serial);
        // The first three rows (prototype controller pair and pump) carry a valid program.
        EXPECT_EQ(!row.SegmentProgram.isEmpty(), i < 3) << i;
        EXPECT_TRUE(ValidateSegmentProgram(row.SegmentProgram));
        if (row.DevType == dtPump) {
            ++pumps;
            EXPECT_TRUE(row.Serial.startsWith("PSD4 2301100"));
            EXPECT_TRUE(row.SyringeSizeuL == 12.5 || row.SyringeSizeuL == 25);
            EXPECT_EQ(row.FlowUnitUser.Name, DefaultUnitUlmin.Name);
            if (row.FluidTemperatureC == 20) {
                ++prototypePumps;
                EXPECT_DOUBLE_EQ(row.MaxFlow_ulpm, 25 * row.SyringeSizeuL);
            } else {
                EXPECT_EQ(row.FluidTemperatureC, 21);
                EXPECT_EQ(row.MaxFlow_ulpm, 1000);
            }
        } else {
            ++controllers;
            EXPECT_LE(row.DevType, dtMFCD);
            const double fullScale = row.FlowUnitDevice.GasFlowMax();
            EXPECT_TRUE(fullScale == 50 || fullScale == 500 || fullScale == 5000) << fullScale;
            EXPECT_DOUBLE_EQ(row.FlowUnitUser.GasFlowMax(), fullScale);
            EXPECT_EQ(row.FlowUnitDevice.Name, "ml/min");
        }
    }
    EXPECT_EQ(controllers, 18);
    EXPECT_EQ(pumps, 7);
    EXPECT_EQ(prototypePumps, 1);
    EXPECT_EQ(serials.size(), 25);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(rows[0].Serial, "142001");
    EXPECT_EQ(rows[1].Serial, "142002");
    EXPECT_EQ(rows[2].Serial, "PSD4 23011001");
    EXPECT_EQ(rows[2].FluidTemperatureC, 20);
    EXPECT_DOUBLE_EQ(rows[2].MaxFlow_ulpm, 312.5);
}

TEST(KnownDeviceTable, EveryInstrumentFindsItsOwnRow)
{
    // What the search passes: a controller's whole identification answer, a pump's number.
    for (const TDeviceInfo& row : KnownDevices()) {
        const QString searchText = row.DevType == dtPump ? row.Serial.mid(5)
                                                         : QStringLiteral("A 12.345 ") + row.Serial + QStringLiteral(" 7.02R");
        TDeviceInfo found;
        ASSERT_TRUE(GetKnownDevice(searchText, found)) << searchText.toStdString();
        EXPECT_EQ(found.Serial, row.Serial);
        EXPECT_EQ(found.DevType, row.DevType);
    }
}

// A serial number matches only as a whole number: a fragment of one, or one inside a longer
// number, selects no row.
TEST(KnownDeviceTable, SerialNumbersMatchAsWholeNumbers)
{
    const std::pair<const char*, const char*> found[] = {
        {"A M05 Serial Number 142001", "142001"},
        {"142002", "142002"},
        {"23011001", "PSD4 23011001"},
        {"psd4 23011001", "PSD4 23011001"},
        {"A 1420011 142005", "142005"},
    };
    for (const auto& [text, serial] : found) {
        TDeviceInfo device;
        ASSERT_TRUE(GetKnownDevice(QString::fromLatin1(text), device)) << text;
        EXPECT_EQ(device.Serial, QString::fromLatin1(serial)) << text;
    }
    TDeviceInfo untouched;
    untouched.NameRole = QStringLiteral("marker");
    for (const char* text : {"", "1", "4", "1420", "14200", "1420011", "9142001", "2301100", "230110011", "999999",
                             "142019", "PSD4 23011009"})
        EXPECT_FALSE(GetKnownDevice(QString::fromLatin1(text), untouched)) << text;
    EXPECT_EQ(untouched.NameRole, "marker");
}

} // namespace
