#pragma once
// The "Configure" tab page: name, colour, gas or fluid, flow unit and syringe of the focused
// device, and the Apply button.
#include "devices/DeviceInfo.h"

#include <QWidget>

class ColorPicker;
class NumberBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ConfigurePage : public QWidget {
    Q_OBJECT
public:
    explicit ConfigurePage(QWidget* parent = nullptr);

    // Fills the controllers' gas list from the gas table and the pump's fluid list; each line
    // carries its gas number (the headers none).
    void FillFluidLists();
    // The predefined reference conditions, a header and 21 lines.
    void FillPredefinedConditions();

    // What the page shows of a device's record (type, name, colour).
    void ShowDevice(const TDeviceInfo& device);
    // "No valid device selected" and an empty name.
    void ShowNoDevice();

    QLineEdit* EditDeviceType = nullptr;
    QLineEdit* EditDeviceName = nullptr;
    QLabel* LabelColor = nullptr;
    ColorPicker* RtColorPickComboDeviceColor = nullptr;
    QLabel* LabelDeviceColor = nullptr;
    QLabel* LabelFluid = nullptr;
    QComboBox* ComboBoxDeviceFluid = nullptr;
    QComboBox* ComboBoxDeviceFluidPump = nullptr;
    QGroupBox* GroupBoxFlowUnit = nullptr;
    QLineEdit* EditFlowUnitName = nullptr;
    QLabel* LabelFlowUnitTemperature = nullptr; // caption of the temperature box
    NumberBox* EditFlowUnitTemperatureC = nullptr;
    QLabel* LabelUnitTemp = nullptr;
    QLabel* LabelFlowUnitPressure = nullptr; // caption of the pressure box
    NumberBox* EditFlowUnitPressureBar = nullptr;
    QLabel* LabelPSI = nullptr;
    QComboBox* ComboBoxFlowUnitPredefined = nullptr;
    QGroupBox* GroupBoxPumpDetails = nullptr;
    QLineEdit* EditPumpUnitName = nullptr;
    NumberBox* EditFluidTemperatureC = nullptr;
    NumberBox* EditSyringeSize = nullptr;
    QPushButton* ButtonApplyConfiguration = nullptr;
};
