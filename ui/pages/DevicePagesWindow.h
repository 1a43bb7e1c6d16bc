#pragma once
// What the workings of the configuration, segment editor and direct control pages need of
// the main window. The window implements it; tests replace it with a recorder.
#include "devices/DeviceInfo.h"

#include <QString>

class TDevicePagesWindow {
public:
    virtual ~TDevicePagesWindow() = default;

    // One line of the message log (MM).
    virtual void MM(const QString& aMessage) = 0;
    // DeviceDetailsUI with tdGUI: shows the record on every page and refreshes its row.
    virtual void ShowDeviceDetails(const TDeviceInfo& aDevInfo) = 0;

    // AddLedForThread: a new LED on the status strip, for a device whose worker just started.
    virtual TDeviceLed* AddLedForThread() = 0;
    // Tells the operator, before the window freezes, that a device's worker is being started
    // on the window's thread (a pump is prepared there, which takes up to 15 s); an empty
    // text ends the notice.
    virtual void ShowWorkerStartUp(const QString& what) = 0;
    // Gives a device LED its "off" colour (opaque) and its size, 16 by 16 times the DPI scaling.
    virtual void SetDeviceLedColor(TDeviceLed& Led, QRgb OffColor) = 0;

    // The designer rebuilds its device rows after a configuration change.
    virtual void MixMakerComponentSetup() = 0;
    // The data table writes its column header before its next row.
    virtual void SetDataTableHeaderDue() = 0;
    // Closes the data collected so far into a flow log file.
    virtual void FlowDataSave(bool ForceSave, const QString& Suffix) = 0;
    // FlowSerie with Clear true: empties the device's achieved-flow series, creating it (into
    // aDevice.SerieFlow) when it has none.
    virtual void ClearFlowSerie(TDeviceInfo& aDevice) = 0;
};
