#include "devices/KnownDevices.h"

namespace {

// One instrument of the installation. Controllers give their full scale in SCCM; pumps their
// syringe, the temperature of the dosed fluid and their full-scale dose rate.
struct KnownRow {
    tDeviceType type;
    const char* serial;
    const char* nameRole;
    QRgb color;
    double fullScale_sccm;
    double syringe_ul;
    double fluidTemperatureC;
    double maxFlow_ulpm;
    const char* program;
};

// The prototype set runs a short program of its own out of the box.
constexpr const char* PrototypeControllerProgram = "0.5 20 Ramp\r\n2 20 Step\r\n3 80 Ramp\r\n4 0 Ramp";
constexpr const char* PrototypePumpProgram = "1 50 Step\r\n3 50 Step\r\n4 0 Ramp";

// The prototype pump doses at most 25 syringe volumes a minute.
constexpr double PrototypeSyringe_ul = 12.5;

using namespace NamedColor;

constexpr KnownRow KnownRows[] = {
    {dtMFCA, "142001", "Prototype", Red, 500, 0, 0, 0, PrototypeControllerProgram},
    {dtMFCB, "142002", "Prototype", Blue, 50, 0, 0, 0, PrototypeControllerProgram},
    {dtPump, "PSD4 23011001", "Prototype", Aqua, 0, PrototypeSyringe_ul, 20, 25 * PrototypeSyringe_ul, PrototypePumpProgram},
    {dtMFCA, "142003", "Blendor 1", Red, 5000, 0, 0, 0, ""},
    {dtMFCB, "142004", "Blendor 1", Blue, 500, 0, 0, 0, ""},
    {dtMFCC, "142005", "Blendor 1", Green, 50, 0, 0, 0, ""},
    {dtMFCD, "142006", "Blendor 1", Brown, 50, 0, 0, 0, ""},
    {dtMFCA, "142007", "Blendor 2", Red, 5000, 0, 0, 0, ""},
    {dtMFCB, "142008", "Blendor 2", Blue, 500, 0, 0, 0, ""},
    {dtMFCC, "142009", "Blendor 2", Green, 500, 0, 0, 0, ""},
    {dtMFCD, "142010", "Blendor 2", Brown, 50, 0, 0, 0, ""},
    {dtMFCA, "142011", "Blendor 3", Red, 5000, 0, 0, 0, ""},
    {dtMFCB, "142012", "Blendor 3", Blue, 5000, 0, 0, 0, ""},
    {dtMFCC, "142013", "Blendor 3", Green, 500, 0, 0, 0, ""},
    {dtMFCD, "142014", "Blendor 3", Brown, 50, 0, 0, 0, ""},
    {dtMFCA, "142015", "Blendor 4", Red, 500, 0, 0, 0, ""},
    {dtMFCB, "142016", "Blendor 4", Blue, 500, 0, 0, 0, ""},
    {dtMFCC, "142017", "Blendor 4", Green, 50, 0, 0, 0, ""},
    {dtMFCD, "142018", "Blendor 4", Brown, 50, 0, 0, 0, ""},
    {dtPump, "PSD4 23011002", "Dampor 1", Purple, 0, 12.5, 21, 1000, ""},
    {dtPump, "PSD4 23011003", "Dampor 2", Purple, 0, 12.5, 21, 1000, ""},
    {dtPump, "PSD4 23011004", "Dampor 3", Purple, 0, 25, 21, 1000, ""},
    {dtPump, "PSD4 23011005", "Dampor 4", Purple, 0, 25, 21, 1000, ""},
    {dtPump, "PSD4 23011006", "Dampor 5", Aqua, 0, 12.5, 21, 1000, ""},
    {dtPump, "PSD4 23011007", "Dampor 6", Aqua, 0, 25, 21, 1000, ""},
};

TDeviceInfo KnownRecord(const KnownRow& row)
{
    const QString serial = QString::fromLatin1(row.serial);
    const QString nameRole = QString::fromLatin1(row.nameRole);
    TDeviceInfo device;
    if (row.type == dtPump) {
        device.DevType = dtPump;
        device.Serial = serial;
        device.NameRole = nameRole;
        device.Color = row.color;
        device.FluidID = -1;
        device.ControlMode = dcmDirect;
        device.SyringeSizeuL = row.syringe_ul;
        device.FluidTemperatureC = row.fluidTemperatureC;
        device.MaxFlow_ulpm = row.maxFlow_ulpm;
        device.FlowUnitUser = DefaultUnitUlmin;
    } else {
        device = MakeControllerRecord(row.type, serial, nameRole, row.color, row.fullScale_sccm);
    }
    device.SegmentProgram = QString::fromLatin1(row.program);
    return device;
}

} // namespace

const std::vector<TDeviceInfo>& KnownDevices()
{
    static const std::vector<TDeviceInfo> rows = [] {
        std::vector<TDeviceInfo> built;
        for (const KnownRow& row : KnownRows)
            built.push_back(KnownRecord(row));
        return built;
    }();
    return rows;
}

bool GetKnownDevice(const QString& SerialText, TDeviceInfo& Device)
{
    if (SerialText.isEmpty())
        return false;
    for (const TDeviceInfo& row : KnownDevices()) {
        if (!row.Serial.isEmpty() && (SerialText.contains(row.Serial) || row.Serial.contains(SerialText))) {
            Device = row;
            return true;
        }
    }
    return false;
}
