#include "ui/pages/MixRecipe.h"

#include "core/Errors.h"
#include "core/GasTable.h"
#include "core/MixtureReports.h"
#include "core/NumberText.h"
#include "core/SegmentProgram.h"
#include "devices/DeviceInfo.h"
#include "instruments/SerialPort.h"
#include "ui/pages/DeliveredFlow.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The slash is allowed as well, for ports that are device paths (a simulator's /dev/pts/3).
bool IsRecipeCharacter(QChar c)
{
    return c == u' ' || c == u'.' || c == u'/' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')
           || (c >= u'a' && c <= u'z');
}

// The device a recipe names. Windows port names ignore letter case, so "com6" names COM6;
// device paths elsewhere do not survive being put in capitals (ttyUSB0), so the recipe's port
// is matched to the listed ports without regard to case instead.
bool GetRecipeDevice(const QString& item, TDeviceInfo& device)
{
    const QString wanted = TrimBlanksAndControls(item);
    if (GetDeviceByPort(wanted, device))
        return true;
    for (const TDeviceInfo& listed : DevicesLocal)
        if (TrimBlanksAndControls(listed.COMPort).compare(wanted, Qt::CaseInsensitive) == 0) {
            device = listed;
            return true;
        }
    return false;
}

// Blanks between items separate one by one: two blanks in a row make an empty item.
QStringList RecipeItems(const QString& line) { return line.split(u' '); }

// What one recipe line gives. A failed line ends the scan of its line; a line that has a
// result may still carry a conversion error, which keeps it (and every later line) out of the
// mixture.
struct LineOutcome {
    bool Failed = false;
    QString Error;
    bool HasResult = false;
    TGasItem Gas;
};

LineOutcome Failure(const QString& error)
{
    LineOutcome outcome;
    outcome.Failed = true;
    outcome.Error = error;
    return outcome;
}

// The mass flow a controller delivers at Setpoint_pct percent of its full scale.
LineOutcome ControllerLine(const TDeviceInfo& device, TGasItem gas, double Setpoint_pct)
{
    LineOutcome outcome;
    TGasFlowDetails fullScale = device.FlowUnitDevice;
    fullScale.GasMolarMass = gas.GetMolarMass();
    fullScale.GasFlowValue = fullScale.GasFlowMax();

    TGasFlowDetails grams;
    grams.Name = QStringLiteral("g/min");
    grams.GasFlowType = gfuGrams;
    grams.GasFlowTimeUnit = gfMinute;
    QString feedback;
    QString report;
    if (ConvertGasFlow(fullScale, grams, feedback, report))
        gas.MassFlow_gmin = grams.GasFlowValue * Setpoint_pct / 100;
    else
        outcome.Error = QStringLiteral("Failed to convert gas flow to g/min");

    TGasFlowDetails user = device.FlowUnitUser;
    if (!ConvertGasFlow(fullScale, user, feedback, report))
        outcome.Error = QStringLiteral("Failed to convert gas flow to user unit: ") + user.Name;

    outcome.HasResult = true;
    outcome.Gas = std::move(gas);
    return outcome;
}

// The mass flow of fluid a pump achieves with the dosing program planned for the setpoint.
LineOutcome PumpLine(const TDeviceInfo& device, TGasItem fluid, double Setpoint_pct)
{
    fluid.MassFlow_gmin = PumpMassFlow_gmin(device, Setpoint_pct);

    LineOutcome outcome;
    outcome.HasResult = true;
    outcome.Gas = std::move(fluid);
    return outcome;
}

LineOutcome EvaluateRecipeLine(const QString& line, int lineNumber)
{
    const QString n = QString::number(lineNumber);
    const QStringList items = RecipeItems(TrimBlanksAndControls(line));
    if (items.size() < 2 || items.size() > 3)
        return Failure(QStringLiteral("Recipe has less than 2 or more than 3 items on line: ") + n + CRLF
                       + QStringLiteral(" => Unable to determine meaning") + CRLF);

    TDeviceInfo device;
    if (!GetRecipeDevice(items[0], device))
        return Failure(QStringLiteral("No device on port: ") + items[0] + CRLF);

    double setpoint = 0;
    try {
        setpoint = StrToFloatAnySep(items[1]);
    } catch (const ConvertError&) {
        return Failure(QStringLiteral("Cannot convert '") + items[1] + QStringLiteral("' to a number") + CRLF);
    }
    if (setpoint < 0 || setpoint > 100)
        return Failure(QStringLiteral("Invalid setpoint on line ") + n + CRLF);

    if (items.size() == 3) {
        const QString type = items[2].left(1).toUpper();
        if (type != u"S" && type != u"R")
            return Failure(QStringLiteral("Invalid segment type on line ") + n + QStringLiteral(" (use S or R)") + CRLF);
    }

    if (!IsControllerType(device.DevType) && device.DevType != dtPump)
        return {};
    TGasItem gas;
    if (!TryGetGas_ID(device.FluidID, gas))
        return Failure(QStringLiteral("GasID on ") + device.COMPort
                       + QStringLiteral(" matches no known gas, device not configured?") + CRLF);
    return device.DevType == dtPump ? PumpLine(device, std::move(gas), setpoint)
                                    : ControllerLine(device, std::move(gas), setpoint);
}

// Adds a text as one block of lines to a page text; an empty text adds an empty line.
void AddBlock(QString& page, const QString& block)
{
    page += block;
    if (block.isEmpty() || !block.endsWith(CRLF))
        page += CRLF;
}

// A recipe line that "Add" turns into a segment: the items of the untrimmed line and the
// port of the device it names.
struct AddEntry {
    QStringList Items;
    QString Port;
};

} // namespace

bool ParseMixRecipe(const QString& Recipe, TGasItem& Mixture, QString& Error)
{
    Error.clear();
    const QStringList lines = SegmentProgramLines(Recipe);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString n = QString::number(i + 1);
        // The line is evaluated at its first allowed character; the evaluation depends only on
        // the line, so its outcome is reapplied at every later allowed character, and the
        // last message standing wins.
        std::optional<LineOutcome> outcome;
        for (qsizetype at = 0; at < line.size(); ++at) {
            const QChar c = line[at];
            if (!IsRecipeCharacter(c)) {
                // A character beyond the basic plane is quoted whole, not as half a pair.
                const bool pair = c.isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate();
                Error = QStringLiteral("Illegal character '") + line.mid(at, pair ? 2 : 1) + QStringLiteral("' on line: ")
                        + n + CRLF;
                at += pair ? 1 : 0;
                continue;
            }
            if (!outcome)
                outcome = EvaluateRecipeLine(line, i + 1);
            if (!outcome->Error.isEmpty())
                Error = outcome->Error;
            if (outcome->Failed)
                break;
        }
        if (Error.isEmpty() && outcome && outcome->HasResult) {
            outcome->Gas.DistributeMassFlow();
            Mixture.Components.push_back(std::move(outcome->Gas));
        }
    }
    return Error.isEmpty();
}

TMixRecipeEvaluation EvaluateMixRecipe(const QString& Recipe, const QString& MixtureName)
{
    TMixRecipeEvaluation result;
    TGasItem mixture;
    mixture.Init();
    mixture.NameShort = MixtureName;
    QString error;
    if (!ParseMixRecipe(Recipe, mixture, error)) {
        AddBlock(result.Text, error);
        return result;
    }
    result.Valid = true;
    QString& page = result.Text;
    AddBlock(page, QStringLiteral("Mixture: '") + MixtureName + QStringLiteral("'"));
    AddBlock(page, QString());
    AddBlock(page, InputsReport(mixture));
    AddBlock(page, QStringLiteral("  Components:"));
    AddBlock(page, LeafMassFlowsReport(mixture));

    // The single gases with their mass flows; a gas from two devices is listed twice.
    TGasItem flat = mixture.Clone(false);
    flat.Components.clear();
    mixture.CollectLeaves(flat);
    const bool hasFractions = flat.MassFlowsToFractions();

    AddBlock(page, QStringLiteral("  Partial pressures:"));
    AddBlock(page, PartialPressuresReport(flat));
    AddBlock(page, QStringLiteral("  Volumetric flows, ml/min:"));
    AddBlock(page, VolumetricFlowsReport(flat, MixtureReportConditions));
    // Asked of the single gases: without any flow there are no fractions, and a mixture that
    // is not normalised cannot answer GetHasFluid.
    const bool hasFluid = std::any_of(flat.Components.begin(), flat.Components.end(),
                                      [](const TGasItem& gas) { return IsFluidGasNumber(gas.AlicatID); });
    if (hasFluid) {
        AddBlock(page, QStringLiteral("  Mixture has fluid:"));
        // A humidity would divide by a total of zero: the table's header stands with the
        // reason instead of figures.
        if (hasFractions)
            AddBlock(page, HumidityReport(flat, MixtureReportConditions));
        else
            AddBlock(page, HumidityReport(flat, {}) + QStringLiteral("  No flow: the humidity is not defined."));
    }
    return result;
}

TMixSegmentsAddResult AddMixSegments(const QString& Recipe, bool RecipeValid, double Time_min, const QString& Note)
{
    TMixSegmentsAddResult result;
    if (!RecipeValid) {
        result.Message = QStringLiteral("Cannot add invalid recipe");
        return result;
    }

    // Copies of the named devices, in order of first mention; a device named twice takes both
    // segments in turn.
    std::vector<TDeviceInfo> devices;
    const auto deviceFor = [&devices](const QString& port) -> TDeviceInfo* {
        TDeviceInfo device;
        if (!GetRecipeDevice(port, device))
            return nullptr;
        for (TDeviceInfo& copy : devices)
            if (copy.COMPort == device.COMPort)
                return &copy;
        devices.push_back(device);
        return &devices.back();
    };
    std::vector<AddEntry> entries;
    for (const QString& line : SegmentProgramLines(Recipe)) {
        if (TrimBlanksAndControls(line).isEmpty())
            continue;
        AddEntry entry{RecipeItems(line), {}};
        if (const TDeviceInfo* device = deviceFor(entry.Items[0])) {
            entry.Port = device->COMPort;
            entries.push_back(entry);
        }
    }

    // Every program is checked before any changes, so a refusal leaves all of them as they were.
    for (const TDeviceInfo& device : devices) {
        QString offendingLine;
        if (!SegmentProgramHasWholeMinutes(device.SegmentProgram, offendingLine)) {
            result.Message = QStringLiteral("Cannot add the recipe: the segment program of ") + device.COMPort
                             + QStringLiteral(" has the point \"") + offendingLine
                             + QStringLiteral("\", whose time is not a whole minute. No segment program was changed.");
            return result;
        }
    }

    const QString minute = QString::number(std::nearbyint(Time_min), 'f', 0);
    const QString note = SanitizeNote(Note);
    try {
        for (const AddEntry& entry : entries) {
            TDeviceInfo& device = *deviceFor(entry.Port);
            result.LogLines << QStringLiteral("Segment Program Modify for Device: ") + entry.Port;
            const double setpoint = StrToFloatAnySep(TrimBlanksAndControls(entry.Items.value(1)));
            const bool ramp = entry.Items.size() == 3 && TrimBlanksAndControls(entry.Items[2]).toUpper() == u"R";
            const QString segment = minute + u' ' + FloatToStrDot(setpoint) + u' '
                                    + (ramp ? QStringLiteral("Ramp") : QStringLiteral("Step")) + u' ' + note;
            result.LogLines << QStringLiteral("Try adding: ") + segment;
            MergeSegmentLine(device.SegmentProgram, TrimBlanksAndControls(segment));
            result.LogLines << QStringLiteral("Resulting segment program: ") + CRLF + device.SegmentProgram;
        }
    } catch (const ConvertError& error) {
        // A time that is no whole number the program can hold; nothing has been written yet.
        result.Message = error.Message();
        return result;
    }

    for (const TDeviceInfo& device : devices) {
        if (!SetDeviceByPort(device)) {
            result.Message = QStringLiteral("Saving device configuration failed");
            return result;
        }
        result.ChangedPorts << device.COMPort;
    }
    return result;
}
