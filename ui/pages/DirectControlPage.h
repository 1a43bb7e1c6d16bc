#pragma once
// The "Direct control" tab page: holds the selected devices at a setpoint of their own. The
// window runs its handlers, which involve the devices.
#include <QWidget>

class NumberBox;
class QLabel;
class QPushButton;

class DirectControlPage : public QWidget {
    Q_OBJECT
public:
    explicit DirectControlPage(QWidget* parent = nullptr);

    // Shows a device's typed setpoint without running the box's change reaction, which would
    // store the value with the focused device, which need not be the device shown.
    void ShowSetpoint(double Setpoint_pct);

    NumberBox* RtDoubleEditDirectControlMaxFlow = nullptr;
    QLabel* LabelDirectControlMaxFlowUnit = nullptr;
    NumberBox* RtDoubleEditDirectControlDesiredFlow = nullptr;
    QLabel* LabelDirectControlResultingFlow = nullptr;
    QPushButton* ButtonApplyFlow = nullptr;
    QPushButton* ButtonDirectControlStop = nullptr;
};
