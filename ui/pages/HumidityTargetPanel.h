#pragma once
// The designer's humidity target panel: the kind of target, its value and condition, the
// pump it acts on, and the outcome. The designer page works the target out.
#include "core/HumidityTarget.h"

#include <QGroupBox>

class NumberBox;
class QComboBox;
class QLabel;
class QPushButton;

class HumidityTargetPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit HumidityTargetPanel(QWidget* parent = nullptr);

    THumidityTarget Target() const;
    // The pump chosen; empty when none is offered.
    QString PumpPort() const;
    // The pumps among the designer rows; the choice stays on the same port when it remains.
    void SetPumpPorts(const QStringList& Ports);
    void ShowOutcome(const QStringList& Lines);

    QComboBox* ComboBoxHumidityKind = nullptr;
    NumberBox* RtDoubleEditHumidityValue = nullptr;
    QLabel* LabelHumidityUnit = nullptr;
    NumberBox* RtDoubleEditHumidityTemperature = nullptr;
    NumberBox* RtDoubleEditHumidityPressure = nullptr;
    QComboBox* ComboBoxHumidityPump = nullptr;
    QPushButton* ButtonHumiditySetPump = nullptr;
    QLabel* LabelHumidityOutcome = nullptr;

private:
    // The condition fields that the kind of target uses are enabled, the others not.
    void KindChanged();
};
