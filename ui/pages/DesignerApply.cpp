#include "ui/pages/DesignerApply.h"

#include "core/NumberText.h"
#include "ui/pages/DeliveredFlow.h"
#include "ui/pages/DirectControl.h"

#include <cmath>

namespace {

// A row's flow in percent of the device's full scale. The division leaves binary noise in
// the last digits (40 % of a full scale comes back as 40.000000000000007); a billionth of a
// percent is below anything an instrument resolves, and the setpoint is logged and shown.
double RowSetpoint_pct(const TDesignerRow& row, const TDeviceInfo& device)
{
    const double fullScale = FullScaleInUserUnit(device);
    return fullScale > 0 ? std::round(row.Flow / fullScale * 100 * 1e9) / 1e9 : 0;
}

} // namespace

QString DesignerApplyQuestion(const std::vector<TDesignerRow>& Rows)
{
    QString text = QStringLiteral("Send these flows to the devices as direct setpoints?\n");
    for (const TDesignerRow& row : Rows) {
        TDeviceInfo device;
        if (!GetDeviceByPort(row.Port, device))
            continue;
        text += u'\n' + device.COMPort + QStringLiteral(" (") + device.NameRole + QStringLiteral("): ")
                + FormatFloat(QStringLiteral("0.0##"), RowSetpoint_pct(row, device)) + QStringLiteral(" % = ")
                + FormatFloat(QStringLiteral("0.0##"), row.Flow) + u' ' + device.FlowUnitUser.Name;
        if (!CanApplyDirectFlow(device))
            text += QStringLiteral(" (not configured: cannot be applied)");
    }
    return text;
}

void ApplyDesignerFlows(const std::vector<TDesignerRow>& Rows, double& TimeOrigin, TDevicePagesWindow& Window)
{
    QStringList ports;
    for (const TDesignerRow& row : Rows) {
        ports << row.Port;
        TDeviceInfo device;
        // A device direct control refuses keeps its stored setpoint; the Apply below names it.
        if (!GetDeviceByPort(row.Port, device) || !CanApplyDirectFlow(device))
            continue;
        StoreDirectSetpoint(device, RowSetpoint_pct(row, device), Window);
    }
    ApplyDirectFlow(ports, TimeOrigin, Window);
}
