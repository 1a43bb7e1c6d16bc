#pragma once
// The "Configure" tab page: name, colour, gas or fluid, flow unit and syringe of the focused
// device, and the Apply button. The reactions that stay on the page (a predefined reference
// condition, the Fahrenheit and psi labels, the colour code) are handled here; the window
// reads the controls as a TConfigureValues record and shows a device through its view.
#include "devices/DeviceInfo.h"
#include "ui/pages/DeviceConfiguration.h"

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

    // The page's part of DeviceDetailsUI with tdGUI: type, name, colour, and either the pump
    // details or the flow unit with the gas.
    void ShowDetails(const TDeviceDetailsView& view);
    // "No valid device selected" and an empty name.
    void ShowNoDevice();
    // The controls as DeviceDetailsUI with tdCODE reads them (the direct setpoint is another
    // page's and stays at its default).
    TConfigureValues Values() const;

    // The reactions of the page's own controls.
    void ComboBoxFlowUnitPredefinedChange(int index);
    void EditFlowUnitTemperatureCValueChanged(double value);
    void EditFlowUnitPressureBarValueChanged(double value);
    void RtColorPickComboDeviceColorChanged(const QColor& color);

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

private:
    // The temperature and pressure boxes, their captions and their two labels.
    void SetConditionBoxesVisible(bool visible);
};
