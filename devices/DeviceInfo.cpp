#include "devices/DeviceInfo.h"

#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/DiagnosticLog.h"
#include "core/GasTable.h"
#include "core/TextTables.h"

#include <algorithm>
#include <exception>

namespace {

TGasFlowDetails StandardUnit(const QString& name, TGasFlowVolumeUnit volumeUnit, TGasFlowType flowType,
                             double temperatureC)
{
    TGasFlowDetails unit;
    unit.Name = name;
    unit.GasFlowVolumeUnit = volumeUnit;
    unit.GasFlowType = flowType;
    unit.GasFlowTimeUnit = gfMinute;
    unit.Temperature = temperatureC;
    unit.TemperatureUnit = tuC;
    unit.Pressure_BarA = InstrumentStandardPressure_BarA;
    return unit;
}

TGasFlowDetails StandardUnitGmin() { return StandardUnit(QStringLiteral("g/min"), gfvuUndefined, gfuGrams, 0); }

TGasFlowDetails StandardUnitMlmin()
{
    TGasFlowDetails unit = StandardUnit(QStringLiteral("ml/min"), gfvuMLN, gfuVolumetric, 25);
    unit.GasName = QStringLiteral("Air");
    unit.GasMolarMass = 28.9647;
    return unit;
}

TGasFlowDetails StandardUnitUlmin()
{
    return StandardUnit(QStringLiteral("\u00B5l/min"), gfvuMLN, gfuVolumetric, 20);
}

const QString DemoProgram1 = QStringLiteral("10 100 Ramp\r\n"
                                            "12 100 Step Some_random_comment\r\n"
                                            "12.5 30 Ramp\r\n"
                                            "15 50 Step\r\n"
                                            "20 30 Step\r\n"
                                            "24 0 Ramp");
const QString DemoProgram2 = QStringLiteral("1.5 100 Ramp\r\n"
                                            "2.5 100 Step Some_random_comment\r\n"
                                            "3.5 30 Ramp\r\n"
                                            "4 50 Step\r\n"
                                            "4.5 30 Step\r\n"
                                            "8 0 Ramp");

std::vector<TDeviceInfo> DemoDevices()
{
    struct Demo {
        const char* port;
        const char* serial;
        QRgb color;
        double fullScale_sccm;
        const QString& program;
    };
    const Demo demos[] = {
        {"COMX", "123456", NamedColor::Purple, 50, DemoProgram1},
        {"COMY", "1234567", NamedColor::Green, 500, DemoProgram2},
    };
    std::vector<TDeviceInfo> devices;
    for (const Demo& demo : demos) {
        TDeviceInfo device = MakeControllerRecord(dtMFCDemo, QString::fromLatin1(demo.serial),
                                                  QStringLiteral("Virtual Demo"), demo.color, demo.fullScale_sccm);
        device.COMPort = QString::fromLatin1(demo.port);
        device.SegmentProgram = demo.program;
        devices.push_back(device);
    }
    return devices;
}

// Names compare by their upper-cased ASCII letters, code unit by code unit.
QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return upper;
}

struct TypeTexts {
    const char* typeName;
    const char* instrumentName;
};

// Indexed by tDeviceType.
constexpr TypeTexts DeviceTypeTexts[] = {
    {"MFC-A", "Blendor"}, {"MFC-B", "Blendor"}, {"MFC-C", "Blendor"},
    {"MFC-D", "Blendor"}, {"Pump", "Dampor"},   {"MFC", "Simulated"},
};

} // namespace

// Defined in this order: the demo devices are built after the standard units.
TGasFlowDetails DefaultUnitGmin = StandardUnitGmin();
TGasFlowDetails DefaultUnitMlmin = StandardUnitMlmin();
TGasFlowDetails DefaultUnitUlmin = StandardUnitUlmin();
std::vector<TDeviceInfo> DevicesLocal = DemoDevices();

void ResetDevicesLocal()
{
    DefaultUnitGmin = StandardUnitGmin();
    DefaultUnitMlmin = StandardUnitMlmin();
    DefaultUnitUlmin = StandardUnitUlmin();
    DevicesLocal = DemoDevices();
}

const DiagnosticLogger& DeviceInfoLog()
{
    static const DiagnosticLogger log(LogCategory::DeviceInfo);
    return log;
}

TDeviceInfo MakeControllerRecord(tDeviceType type, const QString& serial, const QString& nameRole, QRgb color,
                                 double fullScale_sccm)
{
    TDeviceInfo device;
    device.DevType = type;
    device.Serial = serial;
    device.NameRole = nameRole;
    device.Color = color;
    device.FluidID = -1;
    device.ControlMode = dcmDirect;
    device.Setpoint_pct = 0;
    device.FlowUnitDevice = DefaultUnitMlmin;
    device.FlowUnitDevice.SetGasFlowMax(fullScale_sccm);
    device.FlowUnitUser = device.FlowUnitDevice;
    return device;
}

void TDeviceInfo::MarkFlowStart()
{
    FlowStartTime = NowDays();
    FlowStartSteadyMs = SteadyNowMs();
}

double TDeviceInfo::Elapsed_min() const
{
    return double(std::max<qint64>(0, SteadyNowMs() - FlowStartSteadyMs)) / 60000;
}

QString TDeviceInfo::Fluidname() const
{
    if (DevType == dtPump)
        return QStringLiteral("Pump");
    if (!IsControllerType(DevType))
        return QStringLiteral("Unknown");
    TGasItem gas;
    GetGas_ID(FluidID, gas);
    switch (gas.GasType()) {
    case tElemental:
        return gas.NameShort;
    case tMixture:
        return QStringLiteral("Mixture");
    default:
        return QStringLiteral("Unknown");
    }
}

int IndexOfDevicePort(const QString& Port)
{
    const QString wanted = TrimBlanksAndControls(Port);
    for (std::size_t i = 0; i < DevicesLocal.size(); ++i)
        if (TrimBlanksAndControls(DevicesLocal[i].COMPort) == wanted)
            return int(i);
    return -1;
}

bool GetDeviceByPort(const QString& Port, TDeviceInfo& Device)
{
    const int index = IndexOfDevicePort(Port);
    if (index < 0)
        return false;
    Device = DevicesLocal[std::size_t(index)];
    return true;
}

bool SetDeviceByPort(const TDeviceInfo& Device)
{
    const int index = IndexOfDevicePort(Device.COMPort);
    if (index < 0)
        return false;
    try {
        DevicesLocal[std::size_t(index)] = Device;
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void SortDevicesLocalArray()
{
    std::sort(DevicesLocal.begin(), DevicesLocal.end(), [](const TDeviceInfo& a, const TDeviceInfo& b) {
        const int byName = QString::compare(AsciiUpper(a.NameRole), AsciiUpper(b.NameRole), Qt::CaseSensitive);
        return byName != 0 ? byName < 0 : a.DevType < b.DevType;
    });
}

QString DeviceTypeName(tDeviceType type)
{
    return type < std::size(DeviceTypeTexts) ? QString::fromLatin1(DeviceTypeTexts[type].typeName) : QString();
}

QString DeviceInstrumentName(tDeviceType type)
{
    return type < std::size(DeviceTypeTexts) ? QString::fromLatin1(DeviceTypeTexts[type].instrumentName) : QString();
}
