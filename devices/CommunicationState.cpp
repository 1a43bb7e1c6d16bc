#include "devices/CommunicationState.h"

#include "devices/DeviceInfo.h"
#include "devices/WindowPort.h"

#include <QFileInfo>

namespace {

// The transport's status text for a port it could not open (the text says "in use" for any
// open failure; the port's presence tells the two cases apart).
const QString kOpenFailed = QStringLiteral("Failed to setup Com port");

QString SystemPath(const QString& port)
{
    return port.startsWith(u'/') ? port : QStringLiteral("/dev/") + port;
}

// The first line of a status text (exchanges of the controller's command sender append the
// duration after a CR).
QString FirstLine(const QString& text)
{
    return text.section(u'\r', 0, 0).trimmed();
}

QString DeviceLabel(const TDeviceInfo& device)
{
    return device.NameRole + QStringLiteral(" (") + DeviceTypeName(device.DevType) + QStringLiteral(") on ")
           + device.COMPort;
}

bool IsPowerOfTen(int n)
{
    while (n >= 10 && n % 10 == 0)
        n /= 10;
    return n == 1;
}

} // namespace

QString LinkStateText(LinkState state)
{
    switch (state) {
    case LinkState::Ok:
        break;
    case LinkState::NoReply:
        return QStringLiteral("No reply");
    case LinkState::PortInUse:
        return QStringLiteral("Port in use");
    case LinkState::UnreadableReply:
        return QStringLiteral("Unreadable reply");
    }
    return {};
}

LinkState ClassifyFailure(const QString& transportStatus, const QString& port)
{
    if (transportStatus.isEmpty())
        return LinkState::UnreadableReply;
    if (transportStatus.startsWith(kOpenFailed) && QFileInfo::exists(SystemPath(port)))
        return LinkState::PortInUse;
    return LinkState::NoReply;
}

CommunicationState::Change CommunicationState::Failed(LinkState kind, const QString& transportStatus, int count)
{
    if (fFailures == 0)
        fReport.FailedExchanges = 0;
    fFailures += count;
    fReport.FailedExchanges = fFailures;
    fReport.TransportStatus = FirstLine(transportStatus);
    if (fFailures < FailuresUntilLost || kind == fReport.State)
        return Change::None;
    const bool wasLost = IsLost();
    fReport.State = kind;
    return wasLost ? Change::KindChanged : Change::Lost;
}

CommunicationState::Change CommunicationState::Succeeded()
{
    const bool wasLost = IsLost();
    fFailures = 0;
    fReport.State = LinkState::Ok;
    return wasLost ? Change::Restored : Change::None;
}

void CommunicationState::Reinitialised(const QString& reason)
{
    ++fReport.Reinitialisations;
    fReport.ReinitialisationReason = reason;
}

QString CommunicationState::DescribeChange(Change change) const
{
    switch (change) {
    case Change::None:
        break;
    case Change::Lost:
    case Change::KindChanged:
        return QStringLiteral("Communication lost: ") + LinkStateText(fReport.State) + QStringLiteral(" after ")
               + QString::number(fReport.FailedExchanges) + QStringLiteral(" failed exchanges (")
               + fReport.TransportStatus + u')';
    case Change::Restored:
        return QStringLiteral("Communication restored after ") + QString::number(fReport.FailedExchanges)
               + QStringLiteral(" failed exchanges");
    }
    return {};
}

bool CommunicationState::CountDue() const
{
    return IsLost() && fFailures >= 10 && IsPowerOfTen(fFailures);
}

void ShowCommunication(WindowPort& window, TDeviceInfo& device, const CommunicationReport& report)
{
    CommunicationReport& shown = device.Communication;
    const bool stateChanged = report.State != shown.State;
    if (stateChanged && report.State != LinkState::Ok)
        window.MM(DeviceLabel(device) + QStringLiteral(": ") + LinkStateText(report.State) + QStringLiteral(" after ")
                  + QString::number(report.FailedExchanges) + QStringLiteral(" failed exchanges; transport: ")
                  + report.TransportStatus);
    else if (stateChanged)
        window.MM(DeviceLabel(device) + QStringLiteral(": communication restored after ")
                  + QString::number(report.FailedExchanges) + QStringLiteral(" failed exchanges"));
    if (report.Reinitialisations != shown.Reinitialisations)
        window.MM(DeviceLabel(device) + QStringLiteral(": controller initialised again (")
                  + report.ReinitialisationReason + QStringLiteral("); gas selected, full scale read and setpoint sent"));
    shown = report;
    if (stateChanged)
        window.RefreshDeviceRow(device);
}
