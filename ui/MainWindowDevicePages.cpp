// The main window's side of the Configure, Design segments and Direct control pages: their
// handlers that involve the devices, DeviceDetailsUI in both directions, the flow displays,
// and what the pages' workings ask of the window (TDevicePagesWindow).
#include "ui/MainWindow.h"

#include "core/Clock.h"
#include "core/DataFolders.h"
#include "core/SegmentProgram.h"
#include "core/UserMessages.h"
#include "ui/DeviceListView.h"
#include "ui/ErrorReport.h"
#include "ui/LedStrip.h"
#include "ui/MessageLog.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DesignerApply.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/DeviceConfiguration.h"
#include "ui/pages/DirectControl.h"
#include "ui/pages/DirectControlPage.h"
#include "ui/pages/FlowDisplays.h"
#include "ui/pages/SegmentEditor.h"
#include "ui/pages/SegmentEditorPage.h"
#include "ui/pages/SegmentRun.h"
#include "ui/widgets/NumberBox.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

const QString SegmentProgramFilter = QStringLiteral("Text files (*.txt)");
constexpr int DeviceLedSize = 16;

} // namespace

void TGUIF::WireDevicePages()
{
    // Every handler runs inside the error report: an error ends the handler, not the program.
    const auto handler = [this](void (TGUIF::*run)()) {
        return [this, run] { RunReportingErrors([this, run] { (this->*run)(); }); };
    };
    const ConfigurePage& configure = *fConfigure;
    connect(configure.ButtonApplyConfiguration, &QPushButton::clicked, this,
            handler(&TGUIF::ButtonApplyConfigurationClick));

    const SegmentEditorPage& segments = *fSegmentEditor;
    connect(segments.ButtonSegmentApply, &QPushButton::clicked, this, handler(&TGUIF::ButtonSegmentApplyClick));
    connect(segments.ButtonSegmentDelete, &QPushButton::clicked, this, handler(&TGUIF::ButtonSegmentDeleteClick));
    connect(segments.ButtonSegmentProgramStart, &QPushButton::clicked, this,
            handler(&TGUIF::ButtonSegmentProgramStartClick));
    connect(segments.ButtonSegmentProgramStop, &QPushButton::clicked, this,
            handler(&TGUIF::ButtonSegmentProgramStopClick));
    connect(segments.ListViewSegmentProgram, &QTreeWidget::itemSelectionChanged, this,
            handler(&TGUIF::ListViewSegmentProgramChange));
    connect(segments.RtDoubleEditSegmentTime, &NumberBox::ValueChanged, this,
            handler(&TGUIF::RtDoubleEditSegmentTimeValueChanged));
    connect(segments.RtDoubleEditSegmentFlow, &NumberBox::ValueChanged, this,
            handler(&TGUIF::RtDoubleEditSegmentFlowValueChanged));
    connect(segments.LoadSegmentProgram2, &QAction::triggered, this, handler(&TGUIF::LoadSegmentProgram2Click));
    connect(segments.SaveSegmentProgramAs1, &QAction::triggered, this, handler(&TGUIF::SaveSegmentProgramAs1Click));

    const DirectControlPage& direct = *fDirectControl;
    connect(direct.RtDoubleEditDirectControlDesiredFlow, &NumberBox::ValueChanged, this,
            handler(&TGUIF::RtDoubleEditDirectControlDesiredFlowValueChanged));
    connect(direct.ButtonApplyFlow, &QPushButton::clicked, this, handler(&TGUIF::ButtonApplyFlowClick));
    connect(direct.ButtonDirectControlStop, &QPushButton::clicked, this, handler(&TGUIF::ButtonSegmentProgramStopClick));

    connect(fDesigner->BitBtnDesignerApply, &QPushButton::clicked, this, handler(&TGUIF::BitBtnDesignerApplyClick));
}

std::optional<TDeviceInfo> TGUIF::FocusedDevice() const
{
    TDeviceInfo device;
    if (!GetSelectedDevice(device))
        return std::nullopt;
    return device;
}

TConfigureValues TGUIF::ConfigureValues() const
{
    TConfigureValues values = fConfigure->Values();
    values.DirectSetpoint = fDirectControl->RtDoubleEditDirectControlDesiredFlow->Value();
    return values;
}

void TGUIF::DeviceDetailsUI(TDirectionTo aDirection, TDeviceInfo& aDevInfo)
{
    if (aDirection == tdCODE) {
        if (DeviceDetailsCode(ConfigureValues(), aDevInfo, [this](const QString& line) { MM(line); }))
            SetDeviceByPort(aDevInfo);
        return;
    }
    const TDeviceDetailsView view = DeviceDetailsView(aDevInfo);
    fSegmentEditor->ShowDeviceLabel(view.SelectedDeviceLabel);
    fConfigure->ShowDetails(view);
    fDirectControl->ShowSetpoint(view.DirectSetpoint);
    QList<TSegmentRow> rows;
    SegmentTextToRows(aDevInfo.SegmentProgram, rows);
    fSegmentEditor->SetRows(rows);
    SegmentSerie(aDevInfo, false);
    fDevices->RefreshRow(aDevInfo);
    if (view.Pump) {
        fSegmentEditor->RtDoubleEditSegmentMaxFlow->SetValue(view.Pump->SegmentMaxFlow);
        fSegmentEditor->LabelSpecifiedFlowUnit->setText(view.Pump->SegmentFlowUnit);
    }
    // The setpoint box was set quietly: its displays are brought up to date here, for a pump
    // as for a controller, so that no page shows the flows of the device shown before. Only
    // showing a pump changes no plan: its dose commands are logged when a setpoint changes.
    ShowFlowDisplays(false);
    MemoSegmentsUpdate();
}

void TGUIF::ButtonApplyConfigurationClick()
{
    ApplyConfiguration(FocusedDevice(), ConfigureValues(), *this);
}

void TGUIF::UpdateGasFlowUnits()
{
    ShowFlowDisplays(true);
}

void TGUIF::ShowFlowDisplays(bool LogPlans)
{
    const TFlowDisplays displays =
        FlowDisplaysFor(FocusedDevice(), fSegmentEditor->RtDoubleEditSegmentFlow->Value(),
                        fDirectControl->RtDoubleEditDirectControlDesiredFlow->Value());
    if (!displays.Shown)
        return;
    fSegmentEditor->RtDoubleEditSegmentMaxFlow->SetValue(displays.MaxFlow);
    fDirectControl->RtDoubleEditDirectControlMaxFlow->SetValue(displays.MaxFlow);
    fSegmentEditor->LabelSpecifiedFlowUnit->setText(displays.UnitName);
    fDirectControl->LabelDirectControlMaxFlowUnit->setText(displays.UnitName);
    if (displays.SegmentResultingFlow)
        fSegmentEditor->LabelResultingFlowinSpecifiedUnit->setText(*displays.SegmentResultingFlow);
    if (displays.DirectResultingFlow)
        fDirectControl->LabelDirectControlResultingFlow->setText(*displays.DirectResultingFlow);
    if (LogPlans)
        for (const QString& line : displays.LogLines)
            MM(line);
}

void TGUIF::ButtonSegmentApplyClick()
{
    // The edit starts from the focused device's own program, whatever the table shows; only
    // without a device does the row go into the table alone.
    const std::optional<TDeviceInfo> focused = FocusedDevice();
    QList<TSegmentRow> rows = fSegmentEditor->Rows();
    if (focused)
        SegmentTextToRows(focused->SegmentProgram, rows);
    ApplySegmentRow(rows, fSegmentEditor->Boxes(), TimeFactor, focused, *this);
    fSegmentEditor->SetRows(rows);
}

void TGUIF::ButtonSegmentDeleteClick()
{
    const std::optional<TDeviceInfo> focused = FocusedDevice();
    const QList<TSegmentRow> shown = fSegmentEditor->Rows();
    QList<TSegmentRow> rows = shown;
    std::optional<int> selected = fSegmentEditor->SelectedRow();
    if (focused) {
        // The chosen row is found in the focused device's own program; a row that is not
        // part of it deletes nothing.
        SegmentTextToRows(focused->SegmentProgram, rows);
        selected = selected ? SameSegmentRow(rows, shown.value(*selected)) : std::nullopt;
    }
    DeleteSegmentRow(rows, selected, focused, *this);
    fSegmentEditor->SetRows(rows);
}

void TGUIF::ListViewSegmentProgramChange()
{
    const std::optional<int> row = fSegmentEditor->SelectedRow();
    if (!row)
        return;
    fSegmentEditor->ShowBoxes(SegmentBoxesForRow(fSegmentEditor->Rows().at(*row), TimeFactor));
}

void TGUIF::RtDoubleEditSegmentTimeValueChanged()
{
    fSegmentEditor->LabelSegmentStartTimeTimeConversions->setText(
        SegmentTimeConversionsText(fSegmentEditor->RtDoubleEditSegmentTime->Value(), TimeFactor));
}

void TGUIF::RtDoubleEditSegmentFlowValueChanged()
{
    UpdateGasFlowUnits();
}

void TGUIF::SaveSegmentProgramAs1Click()
{
    const std::optional<TDeviceInfo> focused = FocusedDevice();
    if (!focused)
        return;
    SegmentEditorPage::TFileRequest request;
    request.Save = true;
    request.Folder = DataFolders::SegmentProgramsFolder();
    request.ProposedName = ProposedSegmentFileName(*focused, ClockNow());
    request.Filter = SegmentProgramFilter;
    const QString fileName = fSegmentEditor->AskFileName(request);
    if (!fileName.isEmpty())
        SaveSegmentProgram(*focused, fileName);
}

void TGUIF::LoadSegmentProgram2Click()
{
    const std::optional<TDeviceInfo> focused = FocusedDevice();
    if (!focused)
        return;
    SegmentEditorPage::TFileRequest request;
    request.Folder = DataFolders::SegmentProgramsFolder();
    request.Filter = SegmentProgramFilter;
    const QString fileName = fSegmentEditor->AskFileName(request);
    if (!fileName.isEmpty())
        LoadSegmentProgram(focused, fileName, *this);
}

void TGUIF::ButtonSegmentProgramStartClick()
{
    StartSegmentPrograms(fDevices->SelectedPorts(), TimeOrigin, *this);
    ShowFocusedDevice();
}

void TGUIF::ButtonSegmentProgramStopClick()
{
    StopDevices(fDevices->SelectedPorts(), *this);
    ShowFocusedDevice();
}

void TGUIF::RtDoubleEditDirectControlDesiredFlowValueChanged()
{
    UpdateGasFlowUnits();
    StoreDirectSetpoint(FocusedDevice(), fDirectControl->RtDoubleEditDirectControlDesiredFlow->Value(), *this);
}

void TGUIF::ButtonApplyFlowClick()
{
    ApplyDirectFlow(fDevices->SelectedPorts(), TimeOrigin, *this);
}

void TGUIF::BitBtnDesignerApplyClick()
{
    const QStringList selected = fDevices->SelectedPorts();
    std::vector<TDesignerRow> rows = fDesigner->DesignerRows();
    std::erase_if(rows, [&](const TDesignerRow& row) { return !selected.contains(row.Port); });
    if (!rows.empty() && !AskOperator(DesignerApplyQuestion(rows)))
        return;
    ApplyDesignerFlows(rows, TimeOrigin, *this);
    // The direct control page shows the focused device's setpoint, which may just have changed.
    if (const std::optional<TDeviceInfo> focused = FocusedDevice()) {
        fDirectControl->ShowSetpoint(focused->Setpoint_gui);
        UpdateGasFlowUnits();
    }
}

void TGUIF::ShowWorkerStartUp(const QString& what)
{
    if (what.isEmpty()) {
        fProgressText->clear();
        fProgressBar->hide();
        QApplication::restoreOverrideCursor();
        return;
    }
    MM(what);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShowProgress(what, 0, 1);
    // No window message runs until the worker has started: paint the notice now.
    statusBar()->repaint();
    fMessageLog->repaint();
}

void TGUIF::SetDeviceLedColor(TDeviceLed& Led, QRgb OffColor)
{
    auto* lamp = dynamic_cast<DeviceLed*>(&Led);
    if (!lamp)
        return;
    lamp->SetOffColor(QColor::fromRgba(OffColor));
    lamp->SetLedSize(DeviceLedSize * GetDPIScaling());
}

void TGUIF::MixMakerComponentSetup()
{
    fDesigner->MixMakerComponentSetup();
}

void TGUIF::ClearFlowSerie(TDeviceInfo& aDevice)
{
    FlowSerie(aDevice, 0, 0, true);
}
