#include "ui/pages/ConfigurePage.h"

#include "core/GasTable.h"
#include "ui/widgets/ColorPicker.h"
#include "ui/widgets/NumberBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFont FixedPitchFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox* FluidList(const char* name)
{
    auto* list = Named(new QComboBox, name);
    list->setEditable(false);
    list->setMaxVisibleItems(30);
    list->setFont(FixedPitchFont());
    return list;
}

NumberBox* Box(const char* name, double minimum, double maximum, double value)
{
    auto* box = Named(new NumberBox, name);
    box->SetMinimum(minimum);
    box->SetMaximum(maximum);
    box->SetValue(value);
    return box;
}

// Celsius, Fahrenheit and bar exactly as the standards write them.
struct TCondition {
    const char* Celsius;
    const char* Fahrenheit;
    const char* Bar;
    const char* Standard;
};

const TCondition Conditions[] = {
    {"n/a", "n/a", "n/a", "g, grams"},
    {"0", "32", "1.01325", "NIST, ISO 10780, (IUPAC until 1982)"},
    {"20", "68", "1.01325", "EPA, NIST"},
    {"25", "77", "1.01325", "SATP, EPA"},
    {"0", "32", "1", "IUPAC since 1982"},
    {"0", "32", "1.01325", "DIN 1343:1990"},
    {"15", "59", "0.9999", "U.S. Army Standard Metro (RH: 78%)"},
    {"15", "59", "1.00000", "SPE"},
    {"15", "59", "1.0133", "ISO 2314, ISO 3977-2, ASHRAE Fundamentals Handbook (RH: 60%)"},
    {"15", "59", "1.013", "FAA"},
    {"15", "59", "1.01325", "ICAO's ISA, ISO 13443, EEA, EGIA (SI Definition)"},
    {"15", "59", "1.01325", "ISO 2533:1975, ISO 13443:2005, ISO 7504:2015"},
    {"15.56", "60", "1.0133", "SPE, U.S. OSHA, SCAQMD"},
    {"15.56", "60", "1.016", "EGIA (Imperial System Definition)"},
    {"15.56", "60", "1.0135", "U.S. DOT (SCF)"},
    {"20", "68", "1.00000", "CAGI"},
    {"20", "68", "1.013", "ISO 5011 (RH: 50%)"},
    {"20", "68", "1.0133", "GOST 2939-63"},
    {"20", "68", "1.01325", "EN 14511-1:2013"},
    {"21.11", "70", "1.013", "AMCA, air density = 0.075 lbm/ft3. This AMCA standard applies only to air;"},
    {"22", "71.6", "1.01325", "American Association of Physicists in Medicine (RH: 20-80%)"},
};

void Fill(QComboBox* list, const std::vector<TGasListRow>& rows)
{
    list->clear();
    for (const TGasListRow& row : rows)
        list->addItem(row.Text, row.GasID ? QVariant(*row.GasID) : QVariant());
}

} // namespace

ConfigurePage::ConfigurePage(QWidget* parent)
    : QWidget(parent)
{
    EditDeviceType = Named(new QLineEdit(QStringLiteral("Device type")), "EditDeviceType");
    EditDeviceType->setReadOnly(true);
    EditDeviceName = Named(new QLineEdit(QStringLiteral("e.g. Cathode side")), "EditDeviceName");
    LabelColor = Named(new QLabel(QStringLiteral("Device color in software")), "LabelColor");
    RtColorPickComboDeviceColor = Named(new ColorPicker, "RtColorPickComboDeviceColor");
    RtColorPickComboDeviceColor->SetColor(QColor(0, 255, 255, 255));
    LabelDeviceColor = Named(new QLabel(QStringLiteral("Color code")), "LabelDeviceColor");
    LabelFluid = Named(new QLabel(QStringLiteral("Fluid")), "LabelFluid");
    ComboBoxDeviceFluid = FluidList("ComboBoxDeviceFluid");
    ComboBoxDeviceFluidPump = FluidList("ComboBoxDeviceFluidPump");
    ComboBoxDeviceFluidPump->hide();

    GroupBoxFlowUnit = Named(new QGroupBox(QStringLiteral("Flow unit")), "GroupBoxFlowUnit");
    EditFlowUnitName = Named(new QLineEdit(QStringLiteral("g/min")), "EditFlowUnitName");
    EditFlowUnitTemperatureC = Box("EditFlowUnitTemperatureC", -273.15, 900000, 20);
    LabelUnitTemp = Named(new QLabel(QStringLiteral("Irrelevant when unit is g")), "LabelUnitTemp");
    EditFlowUnitPressureBar = Box("EditFlowUnitPressureBar", 0, 1e9, 1.01325);
    LabelPSI = Named(new QLabel(QStringLiteral("Irrelevant when unit is g")), "LabelPSI");
    ComboBoxFlowUnitPredefined = FluidList("ComboBoxFlowUnitPredefined");
    auto* unitLayout = new QGridLayout(GroupBoxFlowUnit);
    const auto addRow = [](QGridLayout* layout, int row, const char* caption, QWidget* field, QWidget* beside) {
        auto* label = new QLabel(QString::fromUtf8(caption));
        layout->addWidget(label, row, 0);
        layout->addWidget(field, row, 1);
        if (beside)
            layout->addWidget(beside, row, 2);
        return label;
    };
    addRow(unitLayout, 0, "Unit name", EditFlowUnitName, nullptr);
    LabelFlowUnitTemperature = addRow(unitLayout, 1, "Temperature, ºC", EditFlowUnitTemperatureC, LabelUnitTemp);
    LabelFlowUnitPressure = addRow(unitLayout, 2, "Pressure, bar", EditFlowUnitPressureBar, LabelPSI);
    addRow(unitLayout, 3, "Some ref. conditions", ComboBoxFlowUnitPredefined, nullptr);
    for (QWidget* hidden : {static_cast<QWidget*>(LabelFlowUnitTemperature), static_cast<QWidget*>(EditFlowUnitTemperatureC),
                            static_cast<QWidget*>(LabelUnitTemp), static_cast<QWidget*>(LabelFlowUnitPressure),
                            static_cast<QWidget*>(EditFlowUnitPressureBar), static_cast<QWidget*>(LabelPSI)})
        hidden->hide();

    GroupBoxPumpDetails = Named(new QGroupBox(QStringLiteral("Pump details")), "GroupBoxPumpDetails");
    EditPumpUnitName = Named(new QLineEdit(QStringLiteral("µl/min")), "EditPumpUnitName");
    EditPumpUnitName->setReadOnly(true);
    EditFluidTemperatureC = Box("EditFluidTemperatureC", -273.15, 2000, -273.15);
    EditSyringeSize = Box("EditSyringeSize", 12.5, 12500, 12500);
    auto* pumpLayout = new QGridLayout(GroupBoxPumpDetails);
    addRow(pumpLayout, 0, "Unit name", EditPumpUnitName, nullptr);
    addRow(pumpLayout, 1, "Fluid temperature, ºC", EditFluidTemperatureC, nullptr);
    addRow(pumpLayout, 2, "Syringe size, µL", EditSyringeSize, nullptr);
    GroupBoxPumpDetails->hide();

    ButtonApplyConfiguration = Named(new QPushButton(QStringLiteral("Apply")), "BitBtn6");

    auto* form = new QGridLayout;
    form->addWidget(Named(new QLabel(QStringLiteral("Device Type")), "LabelDeviceType"), 0, 0);
    form->addWidget(EditDeviceType, 0, 1, 1, 2);
    form->addWidget(Named(new QLabel(QStringLiteral("Device Name")), "LabelDeviceName"), 1, 0);
    form->addWidget(EditDeviceName, 1, 1, 1, 2);
    form->addWidget(LabelColor, 2, 0);
    form->addWidget(RtColorPickComboDeviceColor, 2, 1);
    form->addWidget(LabelDeviceColor, 2, 2);
    form->addWidget(LabelFluid, 3, 0);
    form->addWidget(ComboBoxDeviceFluid, 3, 1, 1, 2);
    form->addWidget(ComboBoxDeviceFluidPump, 4, 1, 1, 2);
    form->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(GroupBoxFlowUnit);
    layout->addWidget(GroupBoxPumpDetails);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonApplyConfiguration);
    layout->addLayout(buttons);
    layout->addStretch();
}

void ConfigurePage::FillFluidLists()
{
    Fill(ComboBoxDeviceFluid, GasListRows());
    Fill(ComboBoxDeviceFluidPump, FluidListRows());
}

void ConfigurePage::FillPredefinedConditions()
{
    ComboBoxFlowUnitPredefined->clear();
    ComboBoxFlowUnitPredefined->addItem(QStringLiteral("ºC    ºF     Bar      Standard"));
    for (const TCondition& c : Conditions) {
        const QString line = QString::fromLatin1(c.Celsius).leftJustified(7) + QString::fromLatin1(c.Fahrenheit).leftJustified(6)
                             + QString::fromLatin1(c.Bar).leftJustified(9) + QString::fromUtf8(c.Standard);
        ComboBoxFlowUnitPredefined->addItem(line);
    }
}

void ConfigurePage::ShowDevice(const TDeviceInfo& device)
{
    EditDeviceType->setText(DeviceInstrumentName(device.DevType) + u' ' + DeviceTypeName(device.DevType));
    EditDeviceName->setText(device.NameRole);
    RtColorPickComboDeviceColor->SetColor(QColor::fromRgba(device.Color));
}

void ConfigurePage::ShowNoDevice()
{
    EditDeviceType->setText(QStringLiteral("No valid device selected"));
    EditDeviceName->clear();
}
