#include "ui/pages/ConfigurePage.h"

#include "core/GasTable.h"
#include "ui/pages/ReferenceConditions.h"
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
#include <QSignalBlocker>
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
    SetConditionBoxesVisible(false);

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

    ButtonApplyConfiguration = Named(new QPushButton(QStringLiteral("Apply")), "ButtonApplyConfiguration");

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

    connect(ComboBoxFlowUnitPredefined, &QComboBox::currentIndexChanged, this,
            &ConfigurePage::ComboBoxFlowUnitPredefinedChange);
    connect(EditFlowUnitTemperatureC, &NumberBox::ValueChanged, this, &ConfigurePage::EditFlowUnitTemperatureCValueChanged);
    connect(EditFlowUnitPressureBar, &NumberBox::ValueChanged, this, &ConfigurePage::EditFlowUnitPressureBarValueChanged);
    connect(RtColorPickComboDeviceColor, &ColorPicker::ColorChanged, this, &ConfigurePage::RtColorPickComboDeviceColorChanged);
}

void ConfigurePage::FillFluidLists()
{
    Fill(ComboBoxDeviceFluid, GasListRows());
    Fill(ComboBoxDeviceFluidPump, FluidListRows());
}

void ConfigurePage::FillPredefinedConditions()
{
    const QSignalBlocker quiet(ComboBoxFlowUnitPredefined);
    ComboBoxFlowUnitPredefined->clear();
    ComboBoxFlowUnitPredefined->addItems(ReferenceConditionLines());
    ComboBoxFlowUnitPredefined->setCurrentIndex(-1);
}

void ConfigurePage::ShowDetails(const TDeviceDetailsView& view)
{
    EditDeviceType->setText(view.DeviceType);
    EditDeviceName->setText(view.Name);
    RtColorPickComboDeviceColor->SetColor(QColor::fromRgba(view.Color));
    RtColorPickComboDeviceColorChanged(RtColorPickComboDeviceColor->Color());
    const bool pump = view.Pump.has_value();
    GroupBoxFlowUnit->setVisible(!pump);
    GroupBoxPumpDetails->setVisible(pump);
    ComboBoxDeviceFluid->setVisible(!pump);
    ComboBoxDeviceFluidPump->setVisible(pump);
    if (pump) {
        EditFluidTemperatureC->SetValue(view.Pump->FluidTemperatureC);
        EditSyringeSize->SetValue(view.Pump->SyringeSize_uL);
        ComboBoxDeviceFluidPump->setCurrentIndex(view.Pump->FluidLine);
        return;
    }
    const TFlowUnitView& unit = *view.FlowUnit;
    SetConditionBoxesVisible(unit.ConditionBoxesVisible);
    EditFlowUnitName->setText(unit.UnitName);
    EditFlowUnitTemperatureC->SetValue(unit.Temperature);
    EditFlowUnitPressureBar->SetValue(unit.Pressure_BarA);
    EditFlowUnitTemperatureCValueChanged(EditFlowUnitTemperatureC->Value());
    EditFlowUnitPressureBarValueChanged(EditFlowUnitPressureBar->Value());
    ComboBoxDeviceFluid->setCurrentIndex(unit.GasLine);
    {
        // Apply takes the flow type from this list: it must say what the shown unit is, or a
        // grams choice made for one device would turn the next applied device into grams.
        const QSignalBlocker quiet(ComboBoxFlowUnitPredefined);
        ComboBoxFlowUnitPredefined->setCurrentIndex(unit.ConditionBoxesVisible ? 0 : ReferenceConditionGramsLine);
    }
}

void ConfigurePage::ShowNoDevice()
{
    EditDeviceType->setText(QStringLiteral("No valid device selected"));
    EditDeviceName->clear();
}

TConfigureValues ConfigurePage::Values() const
{
    const auto lineNumber = [](const QComboBox* list) -> std::optional<int> {
        const QVariant number = list->currentData();
        if (list->currentIndex() <= 0 || !number.isValid())
            return std::nullopt;
        return number.toInt();
    };
    TConfigureValues values;
    values.Name = EditDeviceName->text();
    values.Color = RtColorPickComboDeviceColor->Color().rgba();
    values.GasID = lineNumber(ComboBoxDeviceFluid);
    values.PumpFluidID = lineNumber(ComboBoxDeviceFluidPump);
    values.UnitName = EditFlowUnitName->text();
    values.Temperature = EditFlowUnitTemperatureC->Value();
    values.Pressure_BarA = EditFlowUnitPressureBar->Value();
    values.PredefinedLine = ComboBoxFlowUnitPredefined->currentIndex();
    values.FluidTemperatureC = EditFluidTemperatureC->Value();
    values.SyringeSize_uL = EditSyringeSize->Value();
    return values;
}

void ConfigurePage::ComboBoxFlowUnitPredefinedChange(int index)
{
    const std::optional<TReferenceConditionChoice> choice = ReferenceConditionChoice(index);
    if (!choice)
        return;
    if (choice->Temperature)
        EditFlowUnitTemperatureC->SetValue(*choice->Temperature);
    if (choice->Pressure_BarA)
        EditFlowUnitPressureBar->SetValue(*choice->Pressure_BarA);
    EditFlowUnitName->setText(choice->UnitName);
    SetConditionBoxesVisible(choice->ConditionBoxesVisible);
}

void ConfigurePage::EditFlowUnitTemperatureCValueChanged(double value) { LabelUnitTemp->setText(FahrenheitText(value)); }

void ConfigurePage::EditFlowUnitPressureBarValueChanged(double value) { LabelPSI->setText(PsiText(value)); }

void ConfigurePage::RtColorPickComboDeviceColorChanged(const QColor& color)
{
    LabelDeviceColor->setText(ColorCodeText(color.rgba()));
}

void ConfigurePage::SetConditionBoxesVisible(bool visible)
{
    for (QWidget* widget : {static_cast<QWidget*>(LabelFlowUnitTemperature), static_cast<QWidget*>(EditFlowUnitTemperatureC),
                            static_cast<QWidget*>(LabelUnitTemp), static_cast<QWidget*>(LabelFlowUnitPressure),
                            static_cast<QWidget*>(EditFlowUnitPressureBar), static_cast<QWidget*>(LabelPSI)})
        widget->setVisible(visible);
}
