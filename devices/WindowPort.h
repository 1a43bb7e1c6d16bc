#pragma once
// The narrow view of the main window that the device runtime needs: the message log, the
// device list rows, the chart, the data table and the window's locked state. The window
// implements it; tests replace it with a recorder.
#include <QString>

struct TDeviceInfo;

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // One line of the message log, time-stamped by the log.
    virtual void MM(const QString& message) = 0;
    // Text appended to the message log as it stands (it carries its own stamps and breaks).
    virtual void AppendMessageLog(const QString& text) = 0;
    // Lets pending window messages (repaints, the workers' synchronised exchanges) run once.
    virtual void ProcessEvents() = 0;

    // Disables the window for a long wait. A non-empty caption replaces the window title and
    // a non-empty notice is shown over the tab area until UnlockWindow.
    virtual void LockWindow(const QString& caption, const QString& notice) = 0;
    virtual void UnlockWindow() = 0;
    // Tells the operator which item a long wait is working on and how far along it is.
    virtual void ShowProgress(const QString& what, int done, int total) = 0;
    virtual void SetEngineTimerEnabled(bool enabled) = 0;

    virtual void ClearDeviceRows() = 0;
    // Adds the row of a found device (state "Unknown") and keeps the rows sorted.
    virtual void AddDeviceRow(const TDeviceInfo& device) = 0;
    virtual void MarkAllRowsUnknown() = 0;
    // Shows the record on the configuration controls and refreshes its row.
    virtual void ShowDeviceDetails(const TDeviceInfo& device) = 0;
    // Refreshes the device's row alone (its state), leaving the configuration controls as they are.
    virtual void RefreshDeviceRow(const TDeviceInfo& device) = 0;

    virtual void ClearGraph(bool removeData) = 0;
    virtual void FlowDataSave(bool forceSave, const QString& suffix) = 0;
    virtual void ClearDataTable() = 0;
    virtual void SetDataTableHeaderDue() = 0;
};
