#include "devices/KnownDevices.h"

namespace {

std::vector<TDeviceInfo> BuiltInDevices()
{
    std::vector<TDeviceInfo> devices;
    for (const InstrumentEntry& entry : BuiltInInstruments())
        devices.push_back(KnownDeviceFromEntry(entry));
    return devices;
}

struct KnownTable {
    std::vector<TDeviceInfo> rows = BuiltInDevices();
    QString file;
};

KnownTable& Table()
{
    static KnownTable table;
    return table;
}

} // namespace

TDeviceInfo KnownDeviceFromEntry(const InstrumentEntry& entry)
{
    const auto type = tDeviceType(entry.Kind); // the same order: four positions, then the pump
    TDeviceInfo device;
    if (entry.IsPump()) {
        device.DevType = dtPump;
        device.Serial = entry.Serial;
        device.NameRole = entry.Name;
        device.Color = entry.Color;
        device.FluidID = -1;
        device.ControlMode = dcmDirect;
        device.SyringeSizeuL = entry.Syringe_ul;
        device.FluidTemperatureC = entry.FluidTemperatureC;
        device.MaxFlow_ulpm = entry.MaxFlow_ulpm;
        device.FlowUnitUser = DefaultUnitUlmin;
    } else {
        device = MakeControllerRecord(type, entry.Serial, entry.Name, entry.Color, entry.FullScale_sccm);
    }
    device.SegmentProgram = entry.Segments.join(QStringLiteral("\r\n"));
    return device;
}

const std::vector<TDeviceInfo>& KnownDevices() { return Table().rows; }

QString KnownDevicesFile() { return Table().file; }

void SetKnownDevices(std::vector<TDeviceInfo> rows, const QString& file)
{
    Table().rows = std::move(rows);
    Table().file = file;
}

void ResetKnownDevices() { SetKnownDevices(BuiltInDevices(), QString()); }

bool GetKnownDevice(const QString& SerialText, TDeviceInfo& Device)
{
    for (const TDeviceInfo& row : KnownDevices()) {
        if (SerialNumberIn(row.Serial, SerialText)) {
            Device = row;
            return true;
        }
    }
    return false;
}
