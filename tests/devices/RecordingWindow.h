#pragma once
// A stand-in for the main window that records what the device runtime asks of it.
#include "devices/DeviceInfo.h"
#include "devices/WindowPort.h"

#include <QCoreApplication>
#include <QStringList>

class RecordingWindow : public WindowPort {
public:
    QStringList log;         // MM lines
    QString messageLog;      // raw appends
    QStringList rows;        // "port|instrument|device|name" of added rows
    QStringList detailsShown; // ports passed to ShowDeviceDetails
    QStringList rowsRefreshed; // ports passed to RefreshDeviceRow
    QStringList progress;
    int locks = 0;
    int unlocks = 0;
    int graphClears = 0;
    int rowsMarkedUnknown = 0;
    int dataTableClears = 0;
    bool headerDue = false;
    bool engineTimer = true;
    QStringList saves;

    void MM(const QString& message) override { log << message; }
    void AppendMessageLog(const QString& text) override { messageLog += text; }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void LockWindow(const QString&, const QString&) override { ++locks; }
    void UnlockWindow() override { ++unlocks; }
    void ShowProgress(const QString& what, int done, int total) override
    {
        progress << QStringLiteral("%1 %2/%3").arg(what).arg(done).arg(total);
    }
    void SetEngineTimerEnabled(bool enabled) override { engineTimer = enabled; }
    void ClearDeviceRows() override { rows.clear(); }
    void AddDeviceRow(const TDeviceInfo& device) override
    {
        rows << QStringList{device.COMPort, DeviceInstrumentName(device.DevType), DeviceTypeName(device.DevType), device.NameRole}
                    .join(u'|');
    }
    void MarkAllRowsUnknown() override { ++rowsMarkedUnknown; }
    void ShowDeviceDetails(const TDeviceInfo& device) override { detailsShown << device.COMPort; }
    void RefreshDeviceRow(const TDeviceInfo& device) override { rowsRefreshed << device.COMPort; }
    void ClearGraph(bool removeData) override { graphClears += removeData ? 1 : 0; }
    void FlowDataSave(bool forceSave, const QString& suffix) override
    {
        saves << (forceSave ? QStringLiteral("force ") : QString()) + suffix;
    }
    void ClearDataTable() override { ++dataTableClears; }
    void SetDataTableHeaderDue() override { headerDue = true; }
};
