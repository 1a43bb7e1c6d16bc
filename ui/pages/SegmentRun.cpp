#include "ui/pages/SegmentRun.h"

#include "core/DateTime.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"

namespace {

bool HasWorker(const TDeviceInfo& device) { return device.ThreadMFC || device.ThreadPump; }

} // namespace

void StartSegmentPrograms(const QStringList& SelectedPorts, double& TimeOrigin, TDevicePagesWindow& Window)
{
    Window.FlowDataSave(true, QStringLiteral("StartSegmentsClick"));
    for (const QString& port : SelectedPorts) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device) || !HasWorker(device))
            continue;
        Window.MM(QStringLiteral("Start segment program for ") + device.NameRole);
        device.ControlMode = dcmSegment;
        device.MarkFlowStart();
        Window.ClearFlowSerie(device);
        if (!SetDeviceByPort(device))
            Window.MM(QStringLiteral("Starting segment program failed for: ") + device.NameRole);
        Window.ShowDeviceDetails(device);
    }
    if (TimeOrigin == 0)
        TimeOrigin = NowDays();
}

void StopDevices(const QStringList& SelectedPorts, TDevicePagesWindow& Window)
{
    Window.FlowDataSave(true, QStringLiteral("StopSegmentsClick"));
    for (const QString& port : SelectedPorts) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device) || !HasWorker(device))
            continue;
        Window.MM(QStringLiteral("Stop device ") + device.NameRole);
        device.ControlMode = dcmIdle;
        device.Setpoint_pct = 0;
        // Straight to the worker: an idle device gets nothing more from the engine tick.
        if (device.ThreadMFC) {
            device.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct = 0;
        } else {
            device.ThreadPump->GUIOut.Setpoint = 0;
            device.ThreadPump->GUIOut.Command = QStringLiteral("TR");
        }
        if (!SetDeviceByPort(device))
            Window.MM(QStringLiteral("Stopping device failed for: ") + device.NameRole);
        Window.ShowDeviceDetails(device);
    }
}
