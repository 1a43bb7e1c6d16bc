#include "ui/pages/DirectControlPage.h"

#include "ui/widgets/NumberBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

DirectControlPage::DirectControlPage(QWidget* parent)
    : QWidget(parent)
{
    RtDoubleEditDirectControlMaxFlow = Named(new NumberBox, "RtDoubleEditDirectControlMaxFlow");
    RtDoubleEditDirectControlMaxFlow->setReadOnly(true);
    RtDoubleEditDirectControlMaxFlow->SetSignificantDigits(4); // a converted full scale has many digits, a small one few
    LabelDirectControlMaxFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelDirectControlMaxFlowUnit");
    RtDoubleEditDirectControlDesiredFlow = Named(new NumberBox, "RtDoubleEditDirectControlDesiredFlow");
    RtDoubleEditDirectControlDesiredFlow->SetMinimum(0);
    RtDoubleEditDirectControlDesiredFlow->SetMaximum(100);
    LabelDirectControlResultingFlow =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelDirectControlResultingFlow");
    ButtonApplyFlow = Named(new QPushButton(QStringLiteral("Apply")), "ButtonApplyFlow");
    ButtonDirectControlStop = Named(new QPushButton(QStringLiteral("Stop")), "ButtonDirectControlStop");

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Maximum flow")), 0, 0);
    fields->addWidget(RtDoubleEditDirectControlMaxFlow, 0, 1);
    fields->addWidget(LabelDirectControlMaxFlowUnit, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("Setpoint, %")), 1, 0);
    fields->addWidget(RtDoubleEditDirectControlDesiredFlow, 1, 1);
    fields->addWidget(LabelDirectControlResultingFlow, 1, 2);
    fields->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonApplyFlow);
    buttons->addWidget(ButtonDirectControlStop);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addStretch();
}

void DirectControlPage::ShowSetpoint(double Setpoint_pct)
{
    const QSignalBlocker quiet(RtDoubleEditDirectControlDesiredFlow);
    RtDoubleEditDirectControlDesiredFlow->SetValue(Setpoint_pct);
}
