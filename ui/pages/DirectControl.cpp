#include "ui/pages/DirectControl.h"

#include "core/DateTime.h"
#include "core/NumberText.h"
#include "core/UserMessages.h"

void StoreDirectSetpoint(const std::optional<TDeviceInfo>& Focused, double Setpoint_pct, TDevicePagesWindow& Window)
{
    if (!Focused)
        return;
    TDeviceInfo device = *Focused;
    device.Setpoint_gui = Setpoint_pct;
    if (!SetDeviceByPort(device))
        Window.MM(QStringLiteral("Saving device configuration failed"));
}

bool CanApplyDirectFlow(const TDeviceInfo& Device)
{
    return Device.ThreadMFC || Device.ThreadPump;
}

void ApplyDirectFlow(const QStringList& SelectedPorts, double& TimeOrigin, TDevicePagesWindow& Window)
{
    TDeviceInfo last; // the last selected device looked up, for the closing line
    for (const QString& port : SelectedPorts) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device))
            continue;
        if (!CanApplyDirectFlow(device)) {
            ShowMessage(QStringLiteral("Cannot apply to unconfigured device: ") + device.NameRole);
            last = device;
            continue;
        }
        device.Setpoint_pct = device.Setpoint_gui;
        Window.MM(QStringLiteral("Set device:") + device.NameRole + QStringLiteral(" to flow:")
                  + FloatToStr(device.Setpoint_pct) + QStringLiteral(" %"));
        // A device already held keeps its start time; only the setpoint changes.
        if (device.ControlMode != dcmDirect) {
            device.ControlMode = dcmDirect;
            device.MarkFlowStart();
        }
        if (!SetDeviceByPort(device))
            Window.MM(QStringLiteral("Changing setpoint for device failed: ") + device.NameRole);
        last = device;
    }
    Window.MM(QStringLiteral("Device:") + last.NameRole + QStringLiteral(" flow(gui):") + FloatToStr(last.Setpoint_pct)
              + QStringLiteral(" %"));
    if (TimeOrigin == 0)
        TimeOrigin = NowDays();
}
