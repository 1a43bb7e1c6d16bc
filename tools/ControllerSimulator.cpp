#include "tools/ControllerSimulator.h"

#include "core/GasFlowUnitConversions.h"
#include "core/GasItem.h"
#include "core/GasTable.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFullScaleCounts = 64000;
constexpr double kFlowLagSeconds = 1.0;
constexpr int kLongReplyBytes = 100;
// Percent of valve drive that holds the full-scale flow.
constexpr double kValveDriveAtFullScale = 70;
constexpr int kHighestGasNumber = 255;
// The unit code of grams per minute, in which the driver asks for the full scale.
constexpr int kGramsPerMinuteCode = 67;

// Parses a non-empty run of decimal digits (at most nine), or returns -1.
int DigitsValue(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return text.toInt();
}

} // namespace

ControllerSimulator::ControllerSimulator(ControllerSimulatorOptions options) : fOptions(std::move(options)) {}

QString ControllerSimulator::GasLabel(int gasNumber)
{
    static const char* const kShortNames[] = {"Air", "Ar", "CH4", "CO", "CO2", "C2H6", "H2",
                                              "He", "N2", "N2O", "Ne", "O2", "C3H8", "nC4H10"};
    if (gasNumber >= 0 && gasNumber < int(std::size(kShortNames)))
        return QString::fromLatin1(kShortNames[gasNumber]);
    // Never a number: a number would read as the totalizer of a line without one.
    TGasItem gas;
    if (TryGetGas_ID(gasNumber, gas) && !gas.NameShort.contains(u' '))
        return gas.NameShort;
    return QStringLiteral("G%1").arg(gasNumber);
}

void ControllerSimulator::SetFaults(const ControllerFaults& faults)
{
    std::lock_guard lock(fMutex);
    fFaults = faults;
}

ControllerFaults ControllerSimulator::Faults() const
{
    std::lock_guard lock(fMutex);
    return fFaults;
}

int ControllerSimulator::SetpointCounts() const
{
    std::lock_guard lock(fMutex);
    return fSetpoint;
}

int ControllerSimulator::GasNumber() const
{
    std::lock_guard lock(fMutex);
    return fGas;
}

double ControllerSimulator::MassFlowCounts() const
{
    std::lock_guard lock(fMutex);
    return fMassFlow;
}

int ControllerSimulator::SetpointCommandCount() const
{
    std::lock_guard lock(fMutex);
    return fSetpointCommands;
}

std::optional<SimulatorReply> ControllerSimulator::Answer(const QByteArray& line)
{
    std::lock_guard lock(fMutex);
    // Empty lines (the CR CR of the command sender) and other units' commands go unanswered.
    const QByteArray command = line.toUpper();
    if (command.isEmpty() || command[0] != fOptions.UnitID || fFaults.NoReply)
        return std::nullopt;
    QByteArray reply = Respond(command.mid(1));
    if (!fFaults.FixedReply.isEmpty())
        reply = fFaults.FixedReply;
    return SimulatorReply{reply + '\r', fFaults.ReplyDelayMs};
}

QByteArray ControllerSimulator::Respond(const QByteArray& command)
{
    const QByteArray id(1, fOptions.UnitID);
    if (command.isEmpty())
        return StatusLine();

    if (const int counts = DigitsValue(command); counts >= 0) {
        AdvanceFlow();
        fSetpoint = std::min(counts, kFullScaleCounts);
        ++fSetpointCommands;
        return StatusLine();
    }
    if (command.startsWith('G')) {
        const int gas = DigitsValue(command.mid(1).trimmed());
        if (gas < 0 || gas > kHighestGasNumber)
            return id + " ?";
        fGas = gas;
        return StatusLine();
    }
    if (command == "??M5")
        return id + " M05 Serial Number " + fOptions.Serial.toLatin1();
    if (fOptions.OldFirmware && (command.startsWith("FPF ") || command.startsWith("DCU ")))
        return id + " ?";
    if (command.startsWith("FPF "))
        return id + ' ' + FullScaleIn(command.split(' ').value(2));
    if (command == "FACTORY RESTORE ALL") {
        AdvanceFlow();
        fSetpoint = 0;
        fGas = 0;
        fPressureInBarA = false;
        return id + " Factory values have been restored.";
    }
    if (command == "LSS U" || command == "SPUE 0")
        return id + " U";
    if (command == "DCU 37 62")
        return id + " 62 count";
    if (command == "DCU 2 7") {
        fPressureInBarA = true;
        return id + " 7 barA";
    }
    return id + " ?";
}

QByteArray ControllerSimulator::FullScaleIn(const QByteArray& unitCode) const
{
    if (DigitsValue(unitCode) != kGramsPerMinuteCode)
        return QByteArray::number(fOptions.FullScale, 'f', 2) + " 12 SCCM";
    // The full scale is standard volume (25 °C, 1.01325 bar); its mass depends on the gas.
    TGasItem gas;
    if (!TryGetGas_ID(fGas, gas))
        return "?";
    const double grams = GramsFromVolume(fOptions.FullScale / 1000, InstrumentStandardPressure_BarA,
                                         InstrumentStandardKelvin, gas.GetMolarMass());
    return QByteArray::number(grams, 'f', 6) + ' ' + QByteArray::number(kGramsPerMinuteCode) + " g/m";
}

void ControllerSimulator::AdvanceFlow()
{
    const Clock::time_point now = Clock::now();
    // TimeScale is real time per instrument second, as for the pump simulator; 0 settles at once.
    const double real = std::chrono::duration<double>(now - fLastAdvance).count();
    const double seconds = fOptions.TimeScale > 0 ? real / fOptions.TimeScale : 1e9;
    fLastAdvance = now;
    const double before = fMassFlow;
    fMassFlow += (fSetpoint - fMassFlow) * (1 - std::exp(-seconds / kFlowLagSeconds));
    fTotalizer += (before + fMassFlow) / 2 / kFullScaleCounts * fOptions.FullScale * seconds / 60;
}

QByteArray ControllerSimulator::StatusLine()
{
    AdvanceFlow();
    const auto format = [](const char* pattern, auto value) { return QString::asprintf(pattern, value).toLatin1(); };
    const auto number = [&format](double value) { return format("%+07.2f", value); };
    QByteArrayList fields;
    fields << QByteArray(1, fOptions.UnitID) << number(fPressureInBarA ? 1.01 : 14.70) << number(25.0);
    if (fFaults.ShortReply)
        return fields.join(' ');
    fields << number(fMassFlow / kFullScaleCounts * fOptions.FullScale)
           << (fFaults.NonNumericFields ? QByteArray("+--.--") : format("%+06.0f", fMassFlow))
           << format("%+06d", fSetpoint);
    if (fOptions.Layout != ControllerStatusLayout::NoTotalizer)
        fields << number(fTotalizer);
    if (fOptions.Layout == ControllerStatusLayout::ValveDrive)
        fields << number(kValveDriveAtFullScale * fMassFlow / kFullScaleCounts);
    fields << GasLabel(fGas).toLatin1();
    for (const QString& code : fFaults.StatusCodes)
        fields << code.toLatin1();
    QByteArray line = fields.join(' ');
    while (fFaults.LongReply && line.size() <= kLongReplyBytes)
        line += " +000.00";
    return line;
}
