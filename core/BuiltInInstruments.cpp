#include "core/BuiltInInstruments.h"

#include "core/ColorNames.h"
#include "core/SegmentProgram.h"

namespace {

// One instrument this program comes with. Controllers give their full scale in SCCM; pumps their
// syringe, the temperature of the dosed fluid and their full-scale dose rate.
struct KnownRow {
    InstrumentKind kind;
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
    {InstrumentKind::MFCA, "142001", "Prototype", Red, 500, 0, 0, 0, PrototypeControllerProgram},
    {InstrumentKind::MFCB, "142002", "Prototype", Blue, 50, 0, 0, 0, PrototypeControllerProgram},
    {InstrumentKind::Pump, "PSD4 23011001", "Prototype", Aqua, 0, PrototypeSyringe_ul, 20, 25 * PrototypeSyringe_ul, PrototypePumpProgram},
    {InstrumentKind::MFCA, "142003", "Blendor 1", Red, 5000, 0, 0, 0, ""},
    {InstrumentKind::MFCB, "142004", "Blendor 1", Blue, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCC, "142005", "Blendor 1", Green, 50, 0, 0, 0, ""},
    {InstrumentKind::MFCD, "142006", "Blendor 1", Brown, 50, 0, 0, 0, ""},
    {InstrumentKind::MFCA, "142007", "Blendor 2", Red, 5000, 0, 0, 0, ""},
    {InstrumentKind::MFCB, "142008", "Blendor 2", Blue, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCC, "142009", "Blendor 2", Green, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCD, "142010", "Blendor 2", Brown, 50, 0, 0, 0, ""},
    {InstrumentKind::MFCA, "142011", "Blendor 3", Red, 5000, 0, 0, 0, ""},
    {InstrumentKind::MFCB, "142012", "Blendor 3", Blue, 5000, 0, 0, 0, ""},
    {InstrumentKind::MFCC, "142013", "Blendor 3", Green, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCD, "142014", "Blendor 3", Brown, 50, 0, 0, 0, ""},
    {InstrumentKind::MFCA, "142015", "Blendor 4", Red, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCB, "142016", "Blendor 4", Blue, 500, 0, 0, 0, ""},
    {InstrumentKind::MFCC, "142017", "Blendor 4", Green, 50, 0, 0, 0, ""},
    {InstrumentKind::MFCD, "142018", "Blendor 4", Brown, 50, 0, 0, 0, ""},
    {InstrumentKind::Pump, "PSD4 23011002", "Dampor 1", Purple, 0, 12.5, 21, 1000, ""},
    {InstrumentKind::Pump, "PSD4 23011003", "Dampor 2", Purple, 0, 12.5, 21, 1000, ""},
    {InstrumentKind::Pump, "PSD4 23011004", "Dampor 3", Purple, 0, 25, 21, 1000, ""},
    {InstrumentKind::Pump, "PSD4 23011005", "Dampor 4", Purple, 0, 25, 21, 1000, ""},
    {InstrumentKind::Pump, "PSD4 23011006", "Dampor 5", Aqua, 0, 12.5, 21, 1000, ""},
    {InstrumentKind::Pump, "PSD4 23011007", "Dampor 6", Aqua, 0, 25, 21, 1000, ""},
};

} // namespace

const std::vector<InstrumentEntry>& BuiltInInstruments()
{
    static const std::vector<InstrumentEntry> entries = [] {
        std::vector<InstrumentEntry> built;
        for (const KnownRow& row : KnownRows) {
            InstrumentEntry entry;
            entry.Serial = QString::fromLatin1(row.serial);
            entry.Kind = row.kind;
            entry.Name = QString::fromLatin1(row.nameRole);
            entry.Color = row.color;
            entry.FullScale_sccm = row.fullScale_sccm;
            if (entry.IsPump()) {
                entry.Syringe_ul = row.syringe_ul;
                entry.FluidTemperatureC = row.fluidTemperatureC;
                entry.MaxFlow_ulpm = row.maxFlow_ulpm;
            }
            entry.Segments = SegmentProgramLines(QString::fromLatin1(row.program));
            built.push_back(entry);
        }
        return built;
    }();
    return entries;
}
