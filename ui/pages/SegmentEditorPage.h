#pragma once
// The "Design segments" tab page: the focused device's segment program as a table of rows,
// the fields of the row being edited, and the start and stop of the selected devices'
// programs.
#include "devices/DeviceInfo.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

class SegmentEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit SegmentEditorPage(QWidget* parent = nullptr);

    // "Start time, " and the letter of the displayed time unit.
    void SetTimeUnitLetter(const QString& letter);
    // Name or role, instrument and type of the focused device.
    void ShowDevice(const TDeviceInfo& device);

    QLabel* LabelSelectedDeviceNameRole = nullptr;
    QLabel* LabelSegmentStartTime = nullptr;
    QTreeWidget* ListViewSegmentProgram = nullptr;
};
