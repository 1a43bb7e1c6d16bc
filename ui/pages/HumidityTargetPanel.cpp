#include "ui/pages/HumidityTargetPanel.h"

#include "ui/widgets/NumberBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

NumberBox* Box(const char* name, double minimum, double maximum, double value)
{
    auto* box = Named(new NumberBox, name);
    box->SetMinimum(minimum);
    box->SetMaximum(maximum);
    box->SetValue(value);
    box->setMaximumWidth(90);
    return box;
}

} // namespace

HumidityTargetPanel::HumidityTargetPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Humidity target"), parent)
{
    setObjectName(QStringLiteral("GroupBoxHumidityTarget"));
    ComboBoxHumidityKind = Named(new QComboBox, "ComboBoxHumidityKind");
    ComboBoxHumidityKind->addItem(QStringLiteral("Relative humidity"), int(THumidityTargetKind::RelativeHumidity));
    ComboBoxHumidityKind->addItem(QStringLiteral("Dew point"), int(THumidityTargetKind::DewPoint));
    ComboBoxHumidityKind->addItem(QStringLiteral("Water content"), int(THumidityTargetKind::WaterPpm));
    RtDoubleEditHumidityValue = Box("RtDoubleEditHumidityValue", -1e6, 1e7, 50);
    LabelHumidityUnit = Named(new QLabel(QStringLiteral("%")), "LabelHumidityUnit");
    RtDoubleEditHumidityTemperature = Box("RtDoubleEditHumidityTemperature", -273.15, 1000, 25);
    RtDoubleEditHumidityPressure = Box("RtDoubleEditHumidityPressure", 0, 1000, 1.01325);
    ComboBoxHumidityPump = Named(new QComboBox, "ComboBoxHumidityPump");
    ComboBoxHumidityPump->setMinimumContentsLength(12);
    ComboBoxHumidityPump->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ButtonHumiditySetPump = Named(new QPushButton(QStringLiteral("Set pump")), "ButtonHumiditySetPump");
    LabelHumidityOutcome = Named(new QLabel, "LabelHumidityOutcome");
    LabelHumidityOutcome->setWordWrap(true);
    LabelHumidityOutcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelHumidityOutcome->setTextFormat(Qt::PlainText);

    auto* grid = new QGridLayout(this);
    grid->addWidget(ComboBoxHumidityKind, 0, 0);
    grid->addWidget(RtDoubleEditHumidityValue, 0, 1);
    grid->addWidget(LabelHumidityUnit, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("at °C")), 0, 3, Qt::AlignRight);
    grid->addWidget(RtDoubleEditHumidityTemperature, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("bar a")), 0, 5, Qt::AlignRight);
    grid->addWidget(RtDoubleEditHumidityPressure, 0, 6);
    grid->addWidget(new QLabel(QStringLiteral("Pump")), 0, 7, Qt::AlignRight);
    grid->addWidget(ComboBoxHumidityPump, 0, 8);
    grid->addWidget(ButtonHumiditySetPump, 0, 9);
    grid->addWidget(LabelHumidityOutcome, 1, 0, 1, 10);
    grid->setColumnStretch(10, 1);

    connect(ComboBoxHumidityKind, &QComboBox::currentIndexChanged, this, &HumidityTargetPanel::KindChanged);
    KindChanged();
}

THumidityTarget HumidityTargetPanel::Target() const
{
    THumidityTarget target;
    target.Kind = THumidityTargetKind(ComboBoxHumidityKind->currentData().toInt());
    target.Value = RtDoubleEditHumidityValue->Value();
    target.TemperatureC = RtDoubleEditHumidityTemperature->Value();
    target.Pressure_BarA = RtDoubleEditHumidityPressure->Value();
    return target;
}

QString HumidityTargetPanel::PumpPort() const
{
    return ComboBoxHumidityPump->currentText();
}

void HumidityTargetPanel::SetPumpPorts(const QStringList& Ports)
{
    const QString chosen = PumpPort();
    ComboBoxHumidityPump->clear();
    ComboBoxHumidityPump->addItems(Ports);
    if (const qsizetype kept = Ports.indexOf(chosen); kept >= 0)
        ComboBoxHumidityPump->setCurrentIndex(int(kept));
    // One pump needs no choosing.
    ComboBoxHumidityPump->setEnabled(Ports.size() > 1);
}

void HumidityTargetPanel::ShowOutcome(const QStringList& Lines)
{
    LabelHumidityOutcome->setText(Lines.join(u'\n'));
}

void HumidityTargetPanel::KindChanged()
{
    const auto kind = THumidityTargetKind(ComboBoxHumidityKind->currentData().toInt());
    LabelHumidityUnit->setText(kind == THumidityTargetKind::RelativeHumidity ? QStringLiteral("% RH")
                               : kind == THumidityTargetKind::DewPoint       ? QStringLiteral("°C")
                                                                             : QStringLiteral("ppm"));
    RtDoubleEditHumidityTemperature->setEnabled(kind == THumidityTargetKind::RelativeHumidity);
    RtDoubleEditHumidityPressure->setEnabled(kind != THumidityTargetKind::WaterPpm);
}
