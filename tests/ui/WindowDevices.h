#pragma once
// Devices in the main window for the page tests: configured records added to the device list
// and the window's rows, and a selection made as the operator's clicks make it.
#include "PageDevices.h"
#include "WindowTestSupport.h"
#include "ui/DeviceListView.h"

inline void AddToWindow(TGUIF& window, const TDeviceInfo& device)
{
    DevicesLocal.push_back(device);
    window.AddDeviceRow(device);
}

// Selects exactly these rows, the last one focused (a click, then ctrl-clicks), and runs the
// list's click handling; no ports leaves nothing selected.
inline void SelectInWindow(TGUIF& window, const QStringList& ports)
{
    DeviceListView& list = window.ListViewDevices();
    list.clearSelection();
    for (const QString& port : ports)
        list.setCurrentItem(list.RowOfPort(port), 0, QItemSelectionModel::Select);
    window.ListViewDevicesClick();
}
