#include "devices/Discovery.h"

#include "core/InstrumentEntries.h"
#include "core/TextTables.h"
#include "devices/KnownDevices.h"
#include "devices/PortList.h"
#include "devices/Shutdown.h"
#include "devices/WindowPort.h"
#include "instruments/AlicatMFC.h"
#include "instruments/AlicatReplies.h"
#include "instruments/PSD4.h"

#include <QDeadlineTimer>
#include <QThread>
#include <exception>
#include <memory>
#include <vector>

namespace {

const QString CRLF = QStringLiteral("\r\n");

// How long the window's thread waits for the next port's probe before it serves the window again.
constexpr int ProbeWaitSliceMs = 20;

// The shut-down bound of a search's worker stop, as Reset Devices has it.
constexpr double SearchShutdownTimeout_s = 20;

bool AnyWorker()
{
    for (const TDeviceInfo& device : DevicesLocal)
        if (device.ThreadMFC || device.ThreadPump)
            return true;
    return false;
}

// The message-log text about an instrument that no entry of the instrument file lists.
QString UnlistedText(const QString& what, const InstrumentEntry& entry, const QString& advice)
{
    const QString file = KnownDevicesFile().isEmpty() ? QStringLiteral("the instrument file") : KnownDevicesFile();
    QString text = QStringLiteral("Not in the instrument file: ") + what + QStringLiteral(". To use it, add this entry to ")
                   + file + QStringLiteral(" (") + advice + QStringLiteral(") and start the program again:") + CRLF;
    text += InstrumentEntryText(entry).trimmed().replace(u'\n', CRLF);
    return text;
}

// A controller whose serial number no entry lists, with the full scale it reports in its own
// unit (the entry wants standard cm³/min).
QString UnlistedController(const QString& port, const QString& identification)
{
    InstrumentEntry entry;
    entry.Serial = SerialNumberOf(identification);
    entry.Kind = InstrumentKind::MFCA;
    entry.Name = QStringLiteral("New");
    entry.Color = 0xFFFF0000;
    QString status;
    QString reply;
    QString fullScale = QStringLiteral("no full scale reported");
    QString advice = QStringLiteral("type: its position in the mixer, MFC-A to MFC-D; name: its mixer");
    if (SendASCII(port, QStringLiteral("AFPF 37"), true, status, reply)) {
        const AlicatFullScale parsed = ParseAlicatFullScale(reply.trimmed());
        if (parsed.kind == AlicatFullScale::Kind::Read) {
            fullScale = QStringLiteral("full scale ") + parsed.ValueText + u' ' + parsed.UnitText;
            entry.FullScale_sccm = parsed.Value;
            if (parsed.UnitText.compare(QLatin1String("SCCM"), Qt::CaseInsensitive) != 0)
                advice += QStringLiteral("; full_scale_sccm: the full scale in SCCM");
        }
    }
    if (entry.FullScale_sccm <= 0) {
        entry.FullScale_sccm = 50;
        advice += QStringLiteral("; full_scale_sccm: the full scale on its label");
    }
    return UnlistedText(QStringLiteral("controller on port ") + port + QStringLiteral(", serial number ") + entry.Serial
                            + QStringLiteral(", ") + fullScale,
                        entry, advice);
}

QString UnlistedPump(const QString& port, int serial)
{
    InstrumentEntry entry;
    entry.Serial = QString::number(serial);
    entry.Kind = InstrumentKind::Pump;
    entry.Name = QStringLiteral("New");
    entry.Color = 0xFF800080;
    entry.Syringe_ul = 12.5;
    return UnlistedText(QStringLiteral("pump on port ") + port + QStringLiteral(", serial number ") + entry.Serial, entry,
                        QStringLiteral("syringe_ul: the syringe fitted; name: its humidifier"));
}

void AddFoundDevice(WindowPort& window, const QString& port, TDeviceInfo& found)
{
    for (const TDeviceInfo& other : DevicesLocal) {
        if (other.COMPort != port && !other.Serial.isEmpty() && SerialNumberOf(other.Serial) == SerialNumberOf(found.Serial)) {
            window.MM(QStringLiteral("Two instruments report the same serial number %1, on ports %2 and %3: the one on %3 "
                                     "is not added.")
                          .arg(SerialNumberOf(found.Serial), other.COMPort, port));
            return;
        }
    }
    TDeviceInfo device;
    if (!GetDeviceByPort(port, device)) {
        found.COMPort = port;
        DevicesLocal.push_back(found);
        device = found;
    }
    window.AddDeviceRow(device);
}

// One port's probes on a thread of its own (a QThread: the serial port wants one).
class PortProbeThread {
public:
    explicit PortProbeThread(const QString& port)
        : fThread(QThread::create([this, port] {
              try {
                  fResult = ProbePort(port);
              } catch (...) {
                  fError = std::current_exception();
              }
          }))
    {
        fThread->start();
    }
    ~PortProbeThread() { fThread->wait(); }
    PortProbeThread(const PortProbeThread&) = delete;
    PortProbeThread& operator=(const PortProbeThread&) = delete;

    bool Wait(int ms) { return fThread->wait(QDeadlineTimer(ms)); }
    bool Done() const { return fThread->isFinished(); }
    // Once done: what the probes learnt, or the error that stopped them.
    PortProbe Result()
    {
        if (fError)
            std::rethrow_exception(fError);
        return std::move(fResult);
    }

private:
    PortProbe fResult;
    std::exception_ptr fError;
    std::unique_ptr<QThread> fThread;
};

// Probes every port at the same time and hands each port's result to `report` in the order of
// the list, as soon as that port and all before it are done.
template <typename Report>
void ProbeAll(WindowPort& window, const QStringList& ports, Report report)
{
    std::vector<std::unique_ptr<PortProbeThread>> probes;
    for (const QString& port : ports)
        probes.push_back(std::make_unique<PortProbeThread>(port));
    const int total = int(ports.size());
    // Names the port whose lines the log waits for, with how many ports are done.
    const auto progress = [&](std::size_t next, int done) {
        if (next < probes.size())
            window.ShowProgress(QStringLiteral("Scanning ports, waiting for ") + ports[qsizetype(next)], done, total);
    };
    std::size_t next = 0;
    int shownDone = 0;
    progress(next, 0);
    while (next < probes.size()) {
        bool moved = false;
        if (probes[next]->Wait(ProbeWaitSliceMs)) {
            report(ports[qsizetype(next)], probes[next]->Result());
            ++next;
            moved = true;
        }
        int done = int(next);
        for (std::size_t i = next; i < probes.size(); ++i)
            done += probes[i]->Done() ? 1 : 0;
        if (moved || done != shownDone) {
            progress(next, done);
            shownDone = done;
        }
        window.ProcessEvents();
    }
}

} // namespace

bool ProbeMFC(const QString& port, QString& details, TDeviceInfo& device, QString& unlisted)
{
    details += CRLF + QStringLiteral("  Details for MFC search") + CRLF;
    details += QStringLiteral("    Query port:") + port + CRLF;
    QString status;
    QString reply;
    // The first query flushes any partial command the controller may still hold; only the
    // second answer counts.
    SendASCII(port, QStringLiteral("A??M5\r"), true, status, reply);
    status.clear();
    reply.clear();
    if (!SendASCII(port, QStringLiteral("A??M5\r"), true, status, reply)) {
        details += QStringLiteral("    => Failed to communicate") + CRLF;
        return false;
    }
    details += QStringLiteral("    Port ") + port + QStringLiteral(" was opened, command sent") + CRLF;
    details += QStringLiteral("    Response  : *") + reply + QStringLiteral("*") + CRLF;
    details += QStringLiteral("    Status    : ") + status + CRLF;
    const QString identification = reply.trimmed();
    TDeviceInfo known;
    const bool listed = GetKnownDevice(identification, known);
    // A pump's entry that happens to match is not this controller's.
    if (listed && IsControllerType(known.DevType)) {
        device = known;
        details += QStringLiteral("    => *** MFC found ***") + CRLF;
        return true;
    }
    details += QStringLiteral("    => Invalid serial number for MFC") + CRLF;
    // A controller's identification answer names its serial number.
    if (!listed && SerialNumberOf(identification).size() >= 4 && identification.contains(QLatin1String("Serial"), Qt::CaseInsensitive))
        unlisted = UnlistedController(port, identification);
    return false;
}

bool ProbePump(const QString& port, QString& details, TDeviceInfo& device, QString& unlisted)
{
    details += CRLF + QStringLiteral("  Details for Pump search") + CRLF;
    details += QStringLiteral("    Query port:") + port + CRLF;
    TPSD4 pump;
    if (!pump.Connect(port)) {
        details += QStringLiteral("    => No pump on port") + CRLF;
        return false;
    }
    const int serial = pump.Serial();
    bool found = false;
    TDeviceInfo known;
    const bool listed = serial > 0 && GetKnownDevice(QString::number(serial), known);
    // A controller's entry with the same number is not this pump's.
    if (listed && known.DevType == dtPump) {
        device = known;
        details += QStringLiteral("    => Pump found:") + device.NameRole + CRLF;
        found = true;
    } else {
        details += QStringLiteral("    => Pump found but wrong serial") + CRLF;
        if (serial > 0 && !listed)
            unlisted = UnlistedPump(port, serial);
    }
    details += QStringLiteral("    => Pump serial:") + QString::number(serial) + CRLF;
    return found;
}

PortProbe ProbePort(const QString& port)
{
    PortProbe probe;
    probe.Lines << QStringLiteral("Scanning port: ") + port;
    QString details;
    QString unlistedController;
    QString unlistedPump;
    probe.Lines << QStringLiteral("...for MFC");
    if (ProbeMFC(port, details, probe.Device, unlistedController)) {
        probe.Lines << QStringLiteral("Valid MFC found!!!");
        probe.Found = true;
        return probe;
    }
    probe.Lines << QStringLiteral("...for Pump");
    if (ProbePump(port, details, probe.Device, unlistedPump)) {
        probe.Lines << QStringLiteral("Pump found!!!");
        probe.Found = true;
        return probe;
    }
    probe.Lines << QStringLiteral("No valid MFC or Pump on port") << details;
    for (const QString& unlisted : {unlistedController, unlistedPump})
        if (!unlisted.isEmpty())
            probe.Lines << unlisted;
    return probe;
}

void Searchdevices1Click(WindowPort& window)
{
    // Applied devices (the demo ones, or those of an earlier search) have running workers:
    // bring their instruments to zero and stop them before their records go.
    if (AnyWorker())
        TerminateThreads(window, SearchShutdownTimeout_s);

    window.FlowDataSave(true, QStringLiteral("SearchDevicesClick"));
    window.ClearGraph(true);
    window.ClearDeviceRows();
    DevicesLocal.clear();
    window.AppendMessageLog(LogTimeStamp() + QStringLiteral("Searching for Blendor and Dampor devices, this may take a while") + CRLF);

    window.LockWindow(QString(), QString());
    window.SetEngineTimerEnabled(false);
    window.ProcessEvents();

    const QStringList ports = SearchPorts();
    window.MM(QStringLiteral("Found ports: ") + ports.join(QStringLiteral(",")));
    ProbeAll(window, ports, [&window](const QString& port, PortProbe probe) {
        for (const QString& line : probe.Lines)
            window.MM(line);
        if (probe.Found)
            AddFoundDevice(window, port, probe.Device);
    });
    window.ShowProgress(QStringLiteral("Search finished"), int(ports.size()), int(ports.size()));

    window.AppendMessageLog(CRLF + LogTimeStamp() + QStringLiteral("Finished searching devices") + CRLF);
    window.AppendMessageLog(CRLF + LogTimeStamp() + QStringLiteral("Click found devices to configure them") + CRLF);
    window.ProcessEvents();

    window.UnlockWindow();
    window.SetEngineTimerEnabled(true);
    window.ClearDataTable();
    SortDevicesLocalArray();
    window.SetDataTableHeaderDue();
}
