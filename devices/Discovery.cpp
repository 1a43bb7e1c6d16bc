#include "devices/Discovery.h"

#include "core/TextTables.h"
#include "core/UserMessages.h"
#include "devices/DeviceInfo.h"
#include "devices/KnownDevices.h"
#include "devices/PortList.h"
#include "devices/Shutdown.h"
#include "devices/WindowPort.h"
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

bool AnyWorker()
{
    for (const TDeviceInfo& device : DevicesLocal)
        if (device.ThreadMFC || device.ThreadPump)
            return true;
    return false;
}

void AddFoundDevice(WindowPort& window, const QString& port, TDeviceInfo& found)
{
    TDeviceInfo device;
    if (!GetDeviceByPort(port, device)) {
        found.COMPort = port;
        DevicesLocal.push_back(found);
        device = found;
    }
    window.AddDeviceRow(device);
}

} // namespace

bool ProbeMFC(const QString& port, QString& details, TDeviceInfo& device)
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
    if (GetKnownDevice(reply.trimmed(), device)) {
        details += QStringLiteral("    => *** MFC found ***") + CRLF;
        return true;
    }
    details += QStringLiteral("    => Invalid serial number for MFC") + CRLF;
    return false;
}

bool ProbePump(const QString& port, QString& details, TDeviceInfo& device)
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
    if (serial > 0 && GetKnownDevice(QString::number(serial), device)) {
        details += QStringLiteral("    => Pump found:") + device.NameRole + CRLF;
        found = true;
    } else {
        details += QStringLiteral("    => Pump found but wrong serial") + CRLF;
    }
    details += QStringLiteral("    => Pump serial:") + QString::number(serial) + CRLF;
    return found;
}

void Searchdevices1Click(WindowPort& window, bool& searchDone)
{
    if (searchDone) {
        ShowMessage(QStringLiteral("Functionality to re-search for new devices is currently not finished. Instead, "
                                   "connect new devices, restart the program, and do a fresh device search."));
        return;
    }
    // Demo devices the operator applied have running workers; stop them before their records go.
    if (AnyWorker())
        TerminateThreads(window, 20);

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
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const QString& port = ports[i];
        window.MM(QStringLiteral("Scanning port: ") + port);
        window.ShowProgress(QStringLiteral("Scanning port ") + port, int(i), int(ports.size()));
        window.ProcessEvents();
        QString details;
        TDeviceInfo found;
        window.MM(QStringLiteral("...for MFC"));
        if (ProbeMFC(port, details, found)) {
            window.MM(QStringLiteral("Valid MFC found!!!"));
            AddFoundDevice(window, port, found);
        } else {
            window.MM(QStringLiteral("...for Pump"));
            found = TDeviceInfo();
            if (ProbePump(port, details, found)) {
                window.MM(QStringLiteral("Pump found!!!"));
                AddFoundDevice(window, port, found);
            } else {
                window.MM(QStringLiteral("No valid MFC or Pump on port"));
                window.MM(details);
            }
        }
        window.ProcessEvents();
    }
    window.ShowProgress(QStringLiteral("Search finished"), int(ports.size()), int(ports.size()));

    window.AppendMessageLog(CRLF + LogTimeStamp() + QStringLiteral("Finished searching devices") + CRLF);
    window.AppendMessageLog(CRLF + LogTimeStamp() + QStringLiteral("Click found devices to configure them") + CRLF);
    window.ProcessEvents();

    window.UnlockWindow();
    window.SetEngineTimerEnabled(true);
    searchDone = true;
    window.ClearDataTable();
    SortDevicesLocalArray();
    window.SetDataTableHeaderDue();
}
