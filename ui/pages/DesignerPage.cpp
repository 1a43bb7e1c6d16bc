#include "ui/pages/DesignerPage.h"

#include "core/DiagnosticLog.h"
#include "core/SegmentProgram.h"
#include "devices/DeviceInfo.h"
#include "ui/DeviceListView.h"
#include "ui/FlowChart.h"
#include "ui/pages/DeliveredFlow.h"
#include "ui/pages/DesignerHumidity.h"
#include "ui/pages/HumidityTargetPanel.h"
#include "ui/widgets/NumberBox.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::MainForm, false);
    return log;
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

constexpr int RowHeight = 50;
constexpr int InitialTimeMaximum = 100;
constexpr int TimePageSize = 10;
constexpr int MaximumTimeTicks = 30;

} // namespace

DesignerPage::DesignerPage(const DeviceListView& Devices, FlowChart& Chart, QWidget* parent)
    : QWidget(parent)
    , fDevices(Devices)
    , fChart(Chart)
{
    MixDesignGroupBox = Named(new QGroupBox(QStringLiteral("Time, m")), QStringLiteral("MixDesignGroupBox"));
    TrackBarDesignerTime = Named(new QSlider(Qt::Horizontal), QStringLiteral("TrackBarDesignerTime"));
    TrackBarDesignerTime->setSingleStep(10);
    TrackBarDesignerTime->setPageStep(TimePageSize);
    TrackBarDesignerTime->setTickPosition(QSlider::TicksBelow);
    SetTimeMaximum(InitialTimeMaximum);
    RtDoubleEditDesignMixTime = Named(new NumberBox, QStringLiteral("RtDoubleEditDesignMixTime"));
    RtDoubleEditDesignMixTime->SetMinimum(0);
    RtDoubleEditDesignMixTime->SetMaximum(1e7);
    RtDoubleEditDesignMixTime->setMaximumWidth(100);
    auto* time = new QHBoxLayout(MixDesignGroupBox);
    time->addWidget(TrackBarDesignerTime, 1);
    time->addWidget(RtDoubleEditDesignMixTime);

    LabelDeviceFlows = Named(new QLabel(QStringLiteral("Device flows")), QStringLiteral("LabelDeviceFlows"));
    ScrollBoxFlow = Named(new QScrollArea, QStringLiteral("ScrollBoxFlow"));
    ScrollBoxFlow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxFlow->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBoxFlow->setBackgroundRole(QPalette::Window);
    ScrollBoxFlow->setWidgetResizable(true);
    // Left without a name, so that pointing at the rows reports the scroll box and shows its
    // help on setting the device flows.
    FlowPanelControls = new QWidget;
    auto* rows = new QVBoxLayout(FlowPanelControls);
    rows->setContentsMargins(0, 0, 0, 26);
    rows->addStretch();
    ScrollBoxFlow->setWidget(FlowPanelControls);

    MemoMixDesigner = Named(new QPlainTextEdit, QStringLiteral("MemoMixDesigner"));
    MemoMixDesigner->setReadOnly(true);
    MemoMixDesigner->setUndoRedoEnabled(false);
    MemoMixDesigner->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoMixDesigner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    MemoMixDesigner->setFont(fixed);

    // The window sends the rows' flows to the devices: that involves the device runtime.
    BitBtnDesignerApply = Named(new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                                                QStringLiteral("Apply to device(s)")),
                                QStringLiteral("BitBtnDesignerApply"));
    HumidityTarget = new HumidityTargetPanel;

    auto* flows = new QVBoxLayout;
    flows->addWidget(LabelDeviceFlows);
    flows->addWidget(ScrollBoxFlow, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(flows, 2);
    middle->addWidget(MemoMixDesigner, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MixDesignGroupBox);
    layout->addLayout(middle, 1);
    layout->addWidget(HumidityTarget);
    layout->addWidget(BitBtnDesignerApply, 0, Qt::AlignRight);

    connect(TrackBarDesignerTime, &QSlider::valueChanged, this, &DesignerPage::TrackBarDesignerTimeChange);
    connect(RtDoubleEditDesignMixTime, &NumberBox::ValueChanged, this,
            &DesignerPage::RtDoubleEditDesignMixTimeValueChanged);
    RtDoubleEditDesignMixTime->installEventFilter(this);
    connect(HumidityTarget->ButtonHumiditySetPump, &QPushButton::clicked, this, &DesignerPage::HumidityTargetSetPump);
}

void DesignerPage::SetTimeUnit(const QString& Letter, double Factor)
{
    MixDesignGroupBox->setTitle(QStringLiteral("Time, ") + Letter);
    if (Factor == fTimeFactor || !(Factor > 0))
        return;
    // The same moment, shown in the new unit: the rows and the chart marker stay.
    const double shown = TimeMinutes() / Factor;
    fTimeFactor = Factor;
    const QSignalBlocker keepSlider(TrackBarDesignerTime);
    const QSignalBlocker keepTime(RtDoubleEditDesignMixTime);
    FitTimeSlider();
    const TDesignerTimeSlider slider = DesignerTimeSliderForTypedTime(shown, TrackBarDesignerTime->maximum());
    SetTimeMaximum(slider.Maximum);
    TrackBarDesignerTime->setValue(slider.Position);
    RtDoubleEditDesignMixTime->SetValue(shown);
}

double DesignerPage::TimeMinutes() const
{
    return RtDoubleEditDesignMixTime->Value() * fTimeFactor;
}

QSlider* DesignerPage::RowSlider(const QString& Port) const
{
    return FlowPanelControls->findChild<QSlider*>(DesignerRowSliderPrefix + Port);
}

NumberBox* DesignerPage::RowFlowBox(const QString& Port) const
{
    return FlowPanelControls->findChild<NumberBox*>(DesignerRowFlowPrefix + Port);
}

QList<QGroupBox*> DesignerPage::Rows() const
{
    QList<QGroupBox*> rows;
    QLayout* layout = FlowPanelControls->layout();
    for (int i = 0; i < layout->count(); ++i)
        if (auto* row = qobject_cast<QGroupBox*>(layout->itemAt(i)->widget()))
            rows << row;
    return rows;
}

void DesignerPage::AddDeviceRow(const QString& Port, const QString& Caption, double FullScale)
{
    auto* row = new QGroupBox(Caption);
    row->setFixedHeight(RowHeight);
    auto* slider = Named(new QSlider(Qt::Horizontal), DesignerRowSliderPrefix + Port);
    slider->setRange(0, DesignerRowSliderMaximum);
    slider->setValue(0);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(DesignerRowSliderMaximum / 10);
    auto* flow = Named(new NumberBox, DesignerRowFlowPrefix + Port);
    flow->SetMinimum(0);
    flow->SetMaximum(FullScale);
    flow->SetDisplayPattern(QStringLiteral("0.0##"));
    flow->setFixedWidth(flow->fontMetrics().horizontalAdvance(QStringLiteral("00000.000")) + 8);
    // The slider is the first and the number box the second control of the row.
    auto* controls = new QHBoxLayout(row);
    controls->setContentsMargins(0, 0, 4, 0);
    controls->addWidget(slider, 1);
    controls->addWidget(flow);

    connect(slider, &QSlider::valueChanged, this, [this, slider] { DesignerChange(slider); });
    connect(flow, &NumberBox::ValueChanged, this, [this, flow] { DesignerChange(flow); });
    flow->installEventFilter(this);

    auto* rows = static_cast<QVBoxLayout*>(FlowPanelControls->layout());
    rows->insertWidget(rows->count() - 1, row); // above the closing stretch
}

void DesignerPage::MixMakerComponentSetup()
{
    ScrollBoxFlow->setUpdatesEnabled(false);
    qDeleteAll(Rows());
    fLongestProgram_min = 0;
    for (const QString& port : fDevices.SelectedPorts()) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device))
            continue;
        fLongestProgram_min = std::max(fLongestProgram_min, SegmentProgramDuration(device.SegmentProgram));
        AddDeviceRow(device.COMPort, DesignerRowCaption(device), FullScaleInUserUnit(device));
    }
    ScrollBoxFlow->setUpdatesEnabled(true);
    ScrollBoxFlow->update();
    FitTimeSlider();
    HumidityTarget->SetPumpPorts(DesignerPumpPorts(DesignerRows()));
}

void DesignerPage::FitTimeSlider()
{
    if (const std::optional<int> maximum = DesignerTimeMaximumForDuration(fLongestProgram_min / fTimeFactor)) {
        SetTimeMaximum(*maximum);
        TrackBarDesignerTime->setSingleStep(1);
        TrackBarDesignerTime->setPageStep(TimePageSize);
    }
}

void DesignerPage::SetTimeMaximum(int Maximum)
{
    TrackBarDesignerTime->setMaximum(Maximum);
    // A tick per whole unit of time, or per several when the range is long.
    const int units = Maximum / DesignerTimeSliderStepsPerMinute;
    const int unitsPerTick = std::max(1, units / MaximumTimeTicks);
    TrackBarDesignerTime->setTickInterval(unitsPerTick * DesignerTimeSliderStepsPerMinute);
}

void DesignerPage::TrackBarDesignerTimeChange()
{
    // While the operator types a time, the slider follows the box, not the other way round.
    if (RtDoubleEditDesignMixTime->hasFocus())
        return;
    RtDoubleEditDesignMixTime->SetValue(DesignerTimeFromSlider(TrackBarDesignerTime->value()));
    Log().Send(QString::number(TrackBarDesignerTime->singleStep()) + u' '
               + QString::number(TrackBarDesignerTime->value()) + u' '
               + QString::number(TrackBarDesignerTime->maximum()));
}

void DesignerPage::RtDoubleEditDesignMixTimeKeyUp()
{
    const TDesignerTimeSlider slider =
        DesignerTimeSliderForTypedTime(RtDoubleEditDesignMixTime->Value(), TrackBarDesignerTime->maximum());
    // The typed time is finer than the slider's steps: the slider must not round it.
    const QSignalBlocker keepTime(TrackBarDesignerTime);
    SetTimeMaximum(slider.Maximum);
    TrackBarDesignerTime->setValue(slider.Position);
}

void DesignerPage::RtDoubleEditDesignMixTimeValueChanged()
{
    const double t = TimeMinutes();
    fChart.SetTimeHighlight(t);
    for (const QString& port : fDevices.SelectedPorts()) {
        TDeviceInfo device;
        QSlider* slider = RowSlider(port);
        NumberBox* flow = RowFlowBox(port);
        if (!GetDeviceByPort(port, device) || !slider || !flow)
            continue;
        const TDesignerRowValues values = DesignerRowAt(device, t);
        // Both controls are set here; neither may correct the other by its rounding.
        const QSignalBlocker keepSlider(slider);
        const QSignalBlocker keepFlow(flow);
        slider->setValue(values.SliderPosition);
        flow->SetValue(values.Flow);
    }
    DesignerChange(nullptr);
    ShowNewMix(QStringLiteral("RtDoubleEditDesignMixTimeValueChanged"));
}

void DesignerPage::DesignerChange(QWidget* Sender)
{
    if (!Sender) {
        Log().Send(QStringLiteral("DesignerChange - exit: no sender"));
        return;
    }
    const QString port = DesignerRowPort(Sender->objectName());
    TDeviceInfo device;
    if (!GetDeviceByPort(port, device)) {
        Log().Send(QStringLiteral("DesignerChange - exit: can't get device"));
        return;
    }
    const double fullScale = FullScaleInUserUnit(device);
    if (auto* flow = qobject_cast<NumberBox*>(Sender)) {
        // Typing moves the slider. A value that the program sets without the focus moves it
        // too: a row whose slider and box disagree would misstate the flow.
        Log().Send(flow->hasFocus() ? QStringLiteral("DBEdit has focus") : QStringLiteral("DBEdit is not focused"));
        QSlider* slider = RowSlider(port);
        if (const std::optional<int> position =
                slider ? DesignerSliderForFlow(flow->Value(), fullScale, slider->maximum()) : std::nullopt) {
            const QSignalBlocker keepSlider(slider);
            slider->setValue(*position);
        }
    } else if (auto* slider = qobject_cast<QSlider*>(Sender)) {
        NumberBox* flow = RowFlowBox(port);
        // A slider moved while the operator types into its box leaves the typed value alone.
        if (slider->hasFocus() || !flow || !flow->hasFocus()) {
            if (flow) {
                const QSignalBlocker keepFlow(flow);
                flow->SetValue(DesignerFlowForSlider(slider->value(), slider->maximum(), fullScale));
                Log().Send(slider->hasFocus() ? QStringLiteral("Wanted & changed DoubleEdit value.")
                                              : QStringLiteral("Trackbar mouseover => Do alter DoubleEdit value."));
            } else {
                Log().Send(QStringLiteral("Wanted to change DoubleEdit but ratrieval of control failed."));
            }
        }
    }
    // Every change of a row shows its mixture, whether made with the mouse, the keyboard or
    // by typing.
    ShowNewMix(QStringLiteral("DesignerChange"));
    Log().Send(QStringLiteral("DesignerChange - end"));
}

void DesignerPage::RtDoubleEditDynamicKeyUp(NumberBox* Sender)
{
    const double snapped = DesignerSnapSmallFlow(Sender->Value(), Sender->Maximum());
    // The change reaches DesignerChange, which moves the slider and shows the mixture.
    if (snapped != Sender->Value())
        Sender->SetValue(snapped);
}

std::vector<TDesignerRow> DesignerPage::DesignerRows() const
{
    std::vector<TDesignerRow> designerRows;
    for (QGroupBox* row : Rows())
        for (NumberBox* flow : row->findChildren<NumberBox*>())
            if (flow->objectName().contains(DesignerRowFlowPrefix))
                designerRows.push_back({DesignerRowPort(flow->objectName()), flow->Value()});
    return designerRows;
}

void DesignerPage::ShowNewMix(const QString& Caller)
{
    Log().Send(QStringLiteral("ShowNewMix, caller: ") + Caller);
    const QList<QGroupBox*> rows = Rows();
    Log().Send(QStringLiteral("Flow panel control count: ") + QString::number(rows.size()));
    for (QGroupBox* row : rows)
        Log().Send(QStringLiteral("Control: ") + QString::fromLatin1(row->metaObject()->className())
                   + QStringLiteral(" name:") + row->objectName());
    std::vector<TDesignerRow> designerRows = DesignerRows();
    if (fDevices.SelectedPorts().isEmpty())
        designerRows.clear();
    const TDesignerMix mix = DesignerMix(designerRows, fTargetConditions);
    for (const QString& line : mix.LogLines)
        Log().Send(line);
    if (mix.Shown) {
        QString text = mix.Text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        MemoMixDesigner->setPlainText(text);
    }
    Log().Send(QStringLiteral("ShowNewMix"));
}

void DesignerPage::HumidityTargetSetPump()
{
    const THumidityTarget target = HumidityTarget->Target();
    const TDesignerHumidity outcome = DesignerHumidityTarget(DesignerRows(), HumidityTarget->PumpPort(), target);
    HumidityTarget->ShowOutcome(outcome.Lines);
    if (!outcome.Valid)
        return;
    const QString port = HumidityTarget->PumpPort();
    NumberBox* flow = RowFlowBox(port);
    QSlider* slider = RowSlider(port);
    if (!flow || !slider)
        return;
    {
        // Both controls are set here, and the mixture shown once.
        const QSignalBlocker keepFlow(flow);
        const QSignalBlocker keepSlider(slider);
        flow->SetValue(outcome.PumpRowFlow);
        if (const std::optional<int> position =
                DesignerSliderForFlow(outcome.PumpRowFlow, flow->Maximum(), slider->maximum()))
            slider->setValue(*position);
    }
    fTargetConditions.clear();
    if (target.Kind == THumidityTargetKind::RelativeHumidity)
        fTargetConditions.push_back({target.TemperatureC, target.Pressure_BarA});
    ShowNewMix(QStringLiteral("HumidityTargetSetPump"));
}

bool DesignerPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        if (watched == RtDoubleEditDesignMixTime)
            RtDoubleEditDesignMixTimeKeyUp();
        else if (auto* flow = qobject_cast<NumberBox*>(watched))
            RtDoubleEditDynamicKeyUp(flow);
    }
    return QWidget::eventFilter(watched, event);
}
