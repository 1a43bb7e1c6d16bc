#include "ui/control/ControlCommands.h"

#include "core/DateTime.h"
#include "core/GasTable.h"
#include "core/UserMessages.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "instruments/AlicatErrors.h"
#include "ui/DeviceListView.h"
#include "ui/ErrorReport.h"
#include "ui/MainWindow.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DeviceConfiguration.h"
#include "ui/pages/DirectControl.h"
#include "ui/pages/MixturesPage.h"
#include "ui/pages/ReferenceConditions.h"
#include "ui/pages/SegmentEditor.h"
#include "ui/pages/SegmentRun.h"

#include <QColor>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

using TOutcome = ControlCommands::TOutcome;

TOutcome Refused(const QString& error) { return TOutcome{{}, error}; }

QString ModeName(tDeviceControlMode mode)
{
    switch (mode) {
    case dcmSegment:
        return QStringLiteral("segment");
    case dcmDirect:
        return QStringLiteral("direct");
    case dcmIdle:
        break;
    }
    return QStringLiteral("idle");
}

bool Configured(const TDeviceInfo& device) { return device.ThreadMFC || device.ThreadPump; }

QString GasShortName(int FluidID)
{
    TGasItem gas;
    return TryGetGas_ID(FluidID, gas) ? gas.NameShort : QString();
}

QJsonObject DeviceObject(const TDeviceInfo& device)
{
    const bool pump = device.DevType == dtPump;
    return {
        {QStringLiteral("port"), device.COMPort},
        {QStringLiteral("instrument"), DeviceInstrumentName(device.DevType)},
        {QStringLiteral("type"), DeviceTypeName(device.DevType)},
        {QStringLiteral("name"), device.NameRole},
        {QStringLiteral("state"), DeviceListView::StateText(device)},
        {QStringLiteral("configured"), Configured(device)},
        {QStringLiteral("gas"), GasShortName(device.FluidID)},
        {QStringLiteral("unit"), pump ? QStringLiteral("\u00B5l/min") : device.FlowUnitUser.Name},
        {QStringLiteral("mode"), ModeName(device.ControlMode)},
        {QStringLiteral("setpoint"), device.Setpoint_pct},
    };
}

QJsonValue TimeValue(double days)
{
    return days > 0 ? QJsonValue(DaysToDateTime(days).toString(Qt::ISODateWithMs)) : QJsonValue();
}

// A gas (or the pump's fluid) by its short name or number, as one of the lines of the list
// the Configure page offers the device.
std::optional<int> ListedGas(const QJsonValue& value, bool pump)
{
    std::optional<int> id;
    if (value.isString()) {
        TGasItem gas;
        if (GetGas_ShortName(value.toString(), gas))
            id = gas.AlicatID;
    } else {
        id = value.toInt();
    }
    for (const TGasListRow& row : pump ? FluidListRows() : GasListRows())
        if (id && row.GasID == id)
            return id;
    return std::nullopt;
}

struct TCommand {
    const char* Name;
    bool Acts; // logged as a remote action
    TOutcome (ControlCommands::*Run)(const QJsonObject& args);
};

} // namespace

ControlCommands::ControlCommands(TGUIF& window)
    : fWindow(window)
{
}

QByteArray ControlCommands::Run(const TControlRequest& request)
{
    static const TCommand commands[] = {
        {"devices", false, &ControlCommands::Devices},   {"readings", false, &ControlCommands::Readings},
        {"search", true, &ControlCommands::Search},      {"reset", true, &ControlCommands::Reset},
        {"configure", true, &ControlCommands::Configure}, {"setpoint", true, &ControlCommands::Setpoint},
        {"stop", true, &ControlCommands::Stop},          {"program", true, &ControlCommands::Program},
        {"start", true, &ControlCommands::Start},        {"mixture", true, &ControlCommands::Mixture},
        {"add", true, &ControlCommands::Add},
    };
    const TCommand* command = nullptr;
    for (const TCommand& entry : commands)
        if (request.Command == QLatin1String(entry.Name))
            command = &entry;
    if (!command)
        return ControlErrorLine(request.Id, QStringLiteral("Unknown command: ") + request.Command);

    TOutcome outcome;
    QStringList shown;
    {
        // Boxes the action would open, and errors it raises, are collected here.
        const MessageCapture capture;
        RunReportingErrors([&] {
            if (command->Acts)
                fWindow.MM(QStringLiteral("remote: ") + request.Command
                           + (request.Args.isEmpty()
                                  ? QString()
                                  : u' ' + QString::fromUtf8(QJsonDocument(request.Args).toJson(QJsonDocument::Compact))));
            outcome = (this->*command->Run)(request.Args);
        });
        if (command->Acts)
            RunReportingErrors([&] {
                // An action shows the devices it changed; the pages go back to the focused
                // device, the one their controls edit.
                TDeviceInfo focused;
                if (fWindow.GetSelectedDevice(focused))
                    fWindow.DeviceDetailsUI(tdGUI, focused);
                else
                    fWindow.Configure().ShowNoDevice();
            });
        shown = capture.Texts();
    }
    for (const QString& text : shown)
        fWindow.MM(text);
    if (!outcome.Error.isEmpty() && !shown.contains(outcome.Error))
        shown << outcome.Error;
    if (!shown.isEmpty())
        return ControlErrorLine(request.Id, shown.join(u'\n'));
    return ControlReplyLine(request.Id, outcome.Data);
}

QString ControlCommands::BusyReason() const
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        const auto* box = qobject_cast<QMessageBox*>(modal);
        return QStringLiteral("Waiting for the operator: ") + (box ? box->text() : modal->windowTitle());
    }
    if (!fWindow.centralWidget()->isEnabled() || !fWindow.menuBar()->isEnabled())
        return QStringLiteral("The window is busy: ") + fWindow.windowTitle();
    return QString();
}

QJsonObject ControlCommands::Reading(const TDeviceInfo& device)
{
    QJsonObject reading{{QStringLiteral("port"), device.COMPort}};
    if (device.ThreadMFC) {
        // The reading the engine tick last processed, as the window shows it; the worker's
        // newer one waits for the next tick. No flow before the first reading, nor without
        // the controller's full scale.
        QJsonArray codes;
        for (int code = 0; code < AlicatErrorCount; ++code)
            if (device.LastHandledCodes.Contains(TAlicatError(code)))
                codes << AlicatErrorName(TAlicatError(code));
        const bool flow = device.LastHandled > 0 && !device.ThreadMFC->GUIIn.FullScaleUnknown;
        reading.insert(QStringLiteral("time"), TimeValue(device.LastHandled));
        reading.insert(QStringLiteral("flow"), flow ? QJsonValue(device.FlowUnitUser.GasFlowValue) : QJsonValue());
        reading.insert(QStringLiteral("unit"), device.FlowUnitUser.Name);
        reading.insert(QStringLiteral("flow_gpm"), flow ? QJsonValue(device.LastHandled_gpm) : QJsonValue());
        reading.insert(QStringLiteral("requested"), device.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct);
        reading.insert(QStringLiteral("status"), codes);
    } else if (device.ThreadPump) {
        const TPSD4ThreadData& sent = device.ThreadPump->GUIIn;
        reading.insert(QStringLiteral("time"), TimeValue(sent.DataTime));
        reading.insert(QStringLiteral("requested"), device.ThreadPump->GUIOut.Setpoint * 100);
        reading.insert(QStringLiteral("dosing"), sent.Setpoint * 100);
        reading.insert(QStringLiteral("command"), sent.Command);
    }
    return reading;
}

bool ControlCommands::Ports(const QJsonObject& args, QStringList& ports, QString& error) const
{
    QStringList named;
    for (const QJsonValue& port : args.value(QStringLiteral("ports")).toArray()) {
        if (!fWindow.ListViewDevices().RowOfPort(port.toString()) || IndexOfDevicePort(port.toString()) < 0) {
            error = QStringLiteral("Unknown port: ") + port.toString();
            return false;
        }
        named << port.toString();
    }
    // As the rows would be selected: in list order, each once.
    ports.clear();
    for (const DeviceListView::TRow& row : fWindow.ListViewDevices().Rows())
        if (named.contains(row.Port))
            ports << row.Port;
    return true;
}

bool ControlCommands::Device(const QJsonObject& args, TDeviceInfo& device, QString& error) const
{
    QStringList ports;
    if (!Ports({{QStringLiteral("ports"), QJsonArray{args.value(QStringLiteral("port"))}}}, ports, error))
        return false;
    return GetDeviceByPort(ports.value(0), device);
}

QJsonArray ControlCommands::DeviceList() const
{
    QJsonArray devices;
    for (const DeviceListView::TRow& row : fWindow.ListViewDevices().Rows()) {
        TDeviceInfo device;
        if (GetDeviceByPort(row.Port, device))
            devices << DeviceObject(device);
    }
    return devices;
}

TOutcome ControlCommands::Devices(const QJsonObject&) { return {{{QStringLiteral("devices"), DeviceList()}}, {}}; }

TOutcome ControlCommands::Readings(const QJsonObject&)
{
    QJsonArray readings;
    for (const DeviceListView::TRow& row : fWindow.ListViewDevices().Rows()) {
        TDeviceInfo device;
        if (GetDeviceByPort(row.Port, device) && Configured(device))
            readings << Reading(device);
    }
    return {{{QStringLiteral("readings"), readings}}, {}};
}

TOutcome ControlCommands::Search(const QJsonObject&)
{
    fWindow.Searchdevices1Click();
    return {{{QStringLiteral("devices"), DeviceList()}}, {}};
}

TOutcome ControlCommands::Reset(const QJsonObject&)
{
    fWindow.ResetDevicesClick();
    return {{{QStringLiteral("devices"), DeviceList()}}, {}};
}

TOutcome ControlCommands::Configure(const QJsonObject& args)
{
    TDeviceInfo device;
    QString error;
    if (!Device(args, device, error))
        return Refused(error);
    const bool pump = device.DevType == dtPump;
    // Only the controls the page shows for this device can be set.
    for (const char* name : {"unit", "reference", "temperature", "pressure"})
        if (pump && args.contains(QLatin1String(name)))
            return Refused(QStringLiteral("Argument %1 is not for a pump").arg(QLatin1String(name)));
    for (const char* name : {"syringe", "fluid_temperature"})
        if (!pump && args.contains(QLatin1String(name)))
            return Refused(QStringLiteral("Argument %1 is for a pump only").arg(QLatin1String(name)));

    // The page's controls as they stand with the device shown, then what the request changes.
    TConfigureValues values = ConfigureValuesOf(device);
    if (args.contains(QStringLiteral("name")))
        values.Name = args.value(QStringLiteral("name")).toString();
    if (args.contains(QStringLiteral("color"))) {
        const QColor color = QColor::fromString(args.value(QStringLiteral("color")).toString());
        if (!color.isValid())
            return Refused(QStringLiteral("Unknown colour: ") + args.value(QStringLiteral("color")).toString());
        values.Color = color.rgba();
    }
    if (args.contains(QStringLiteral("gas"))) {
        const QJsonValue gas = args.value(QStringLiteral("gas"));
        const std::optional<int> id = ListedGas(gas, pump);
        if (!id)
            return Refused(QStringLiteral("Unknown %1: %2")
                               .arg(pump ? QStringLiteral("fluid") : QStringLiteral("gas"),
                                    gas.isString() ? gas.toString() : QString::number(gas.toInt())));
        (pump ? values.PumpFluidID : values.GasID) = id;
    }
    if (args.contains(QStringLiteral("reference"))) {
        const int line = args.value(QStringLiteral("reference")).toInt();
        const std::optional<TReferenceConditionChoice> choice = ReferenceConditionChoice(line);
        if (!choice)
            return Refused(QStringLiteral("Unknown reference conditions: ") + QString::number(line));
        values.Temperature = choice->Temperature.value_or(values.Temperature);
        values.Pressure_BarA = choice->Pressure_BarA.value_or(values.Pressure_BarA);
        values.UnitName = choice->UnitName;
        values.PredefinedLine = line;
    }
    if (args.contains(QStringLiteral("unit")))
        values.UnitName = args.value(QStringLiteral("unit")).toString();
    if (args.contains(QStringLiteral("temperature")))
        values.Temperature = args.value(QStringLiteral("temperature")).toDouble();
    if (args.contains(QStringLiteral("pressure")))
        values.Pressure_BarA = args.value(QStringLiteral("pressure")).toDouble();
    if (args.contains(QStringLiteral("fluid_temperature")))
        values.FluidTemperatureC = args.value(QStringLiteral("fluid_temperature")).toDouble();
    if (args.contains(QStringLiteral("syringe"))) {
        values.SyringeSize_uL = args.value(QStringLiteral("syringe")).toDouble();
        // The window ignores such a size and applies the rest; a script gets nothing applied.
        if (!IsValidSyringeSize(values.SyringeSize_uL))
            return Refused(QStringLiteral("Invalid syring volume, value ignored"));
    }
    ApplyConfiguration(device, values, fWindow);
    GetDeviceByPort(device.COMPort, device);
    return {{{QStringLiteral("device"), DeviceObject(device)}}, {}};
}

TOutcome ControlCommands::Setpoint(const QJsonObject& args)
{
    QStringList ports;
    QString error;
    if (!Ports(args, ports, error))
        return Refused(error);
    // The window names an unconfigured device and applies the others; a script gets all or
    // nothing, with the same words.
    for (const QString& port : ports) {
        TDeviceInfo device;
        if (GetDeviceByPort(port, device) && !Configured(device))
            return Refused(QStringLiteral("Cannot apply to unconfigured device: ") + device.NameRole);
    }
    const double percent = args.value(QStringLiteral("percent")).toDouble();
    for (const QString& port : ports) {
        TDeviceInfo device;
        if (GetDeviceByPort(port, device))
            StoreDirectSetpoint(device, percent, fWindow);
    }
    ApplyDirectFlow(ports, fWindow.TimeOrigin, fWindow);
    return {{{QStringLiteral("ports"), QJsonArray::fromStringList(ports)}}, {}};
}

TOutcome ControlCommands::Stop(const QJsonObject& args)
{
    QStringList ports;
    QString error;
    if (!Ports(args, ports, error))
        return Refused(error);
    StopDevices(ports, fWindow);
    return {{{QStringLiteral("ports"), QJsonArray::fromStringList(ports)}}, {}};
}

TOutcome ControlCommands::Program(const QJsonObject& args)
{
    TDeviceInfo device;
    QString error;
    if (!Device(args, device, error))
        return Refused(error);
    if (!LoadSegmentProgramText(device, args.value(QStringLiteral("text")).toString(), fWindow))
        return Refused(QStringLiteral("Invalid segment program"));
    GetDeviceByPort(device.COMPort, device);
    return {{{QStringLiteral("program"), device.SegmentProgram}}, {}};
}

TOutcome ControlCommands::Start(const QJsonObject& args)
{
    QStringList ports;
    QString error;
    if (!Ports(args, ports, error))
        return Refused(error);
    StartSegmentPrograms(ports, fWindow.TimeOrigin, fWindow);
    // Devices without a worker are passed over, as the window does.
    QJsonArray started;
    for (const QString& port : ports) {
        TDeviceInfo device;
        if (GetDeviceByPort(port, device) && Configured(device) && device.ControlMode == dcmSegment)
            started << port;
    }
    return {{{QStringLiteral("started"), started}}, {}};
}

void ControlCommands::ShowRecipe(const QJsonObject& args)
{
    MixturesPage& page = fWindow.Mixtures();
    if (args.contains(QStringLiteral("name")))
        page.EditMixtureName->setText(args.value(QStringLiteral("name")).toString());
    // Setting the text evaluates it, as typing does.
    page.MemoMixRecipe->setPlainText(args.value(QStringLiteral("recipe")).toString());
}

TOutcome ControlCommands::Mixture(const QJsonObject& args)
{
    ShowRecipe(args);
    const QString report = fWindow.Mixtures().MemoMixResult->toPlainText();
    if (!fWindow.Mixtures().MixRecipeValid)
        return Refused(report);
    return {{{QStringLiteral("report"), report}}, {}};
}

TOutcome ControlCommands::Add(const QJsonObject& args)
{
    ShowRecipe(args);
    MixturesPage& page = fWindow.Mixtures();
    if (args.contains(QStringLiteral("note")))
        page.EditNoteMixture->setText(args.value(QStringLiteral("note")).toString());
    const QStringList ports = page.AddMixSegmentsAt(args.value(QStringLiteral("time")).toDouble());
    return {{{QStringLiteral("ports"), QJsonArray::fromStringList(ports)}}, {}};
}
