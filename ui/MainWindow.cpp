#include "ui/MainWindow.h"

#include "core/DataFolders.h"
#include "core/DiagnosticLog.h"
#include "core/NumberText.h"
#include "core/RunMark.h"
#include "core/TextTables.h"
#include "core/UserMessages.h"
#include "devices/Discovery.h"
#include "devices/Shutdown.h"
#include "ui/CloseOnSignal.h"
#include "ui/DataTable.h"
#include "ui/DataTableLines.h"
#include "ui/DeviceListView.h"
#include "ui/DeviceSeries.h"
#include "ui/EngineTick.h"
#include "ui/ErrorReport.h"
#include "ui/FlowChart.h"
#include "ui/FlowLog.h"
#include "ui/HelpHover.h"
#include "ui/HelpTips.h"
#include "ui/LedStrip.h"
#include "ui/MessageLog.h"
#include "ui/MessageLogFile.h"
#include "ui/SegmentTableView.h"
#include "ui/ToolsWindowLock.h"
#include "ui/control/ControlCommands.h"
#include "ui/control/ControlServer.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/DirectControlPage.h"
#include "ui/pages/MixturesPage.h"
#include "ui/pages/SegmentEditorPage.h"
#include "ui/pages/ToolsPage.h"
#include "ui/widgets/RichTextLabel.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QThread>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::MainForm);
    return log;
}

// Sizes at 96 pixels per inch.
constexpr int TopAreaHeight = 200;
constexpr int DeviceListWidth = 400;
constexpr int BottomPanelHeight = 150;
constexpr int MessageLogWidth = 500;
constexpr int MinimumPane = 30;
constexpr int MinimumWindowWidth = 691;
// How long closing waits for the last flow log to reach the disk.
constexpr int CloseSaveTimeoutMs = 10000;

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSplitter* Splitter(Qt::Orientation orientation, const char* name)
{
    auto* splitter = Named(new QSplitter(orientation), name);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

void KeepPane(QWidget* pane)
{
    pane->setMinimumSize(MinimumPane, MinimumPane);
}

} // namespace

TGUIF::TGUIF(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("GUIF"));
    fToolsWindow = std::make_unique<ToolsWindowLock>(*this);
    BuildLayout();
    BuildMenus();
    fSeries = std::make_unique<DeviceSeries>(*fChart);
    fEngine = std::make_unique<EngineTick>(*this);
    fFlowLog = new FlowLog(DataFolders::LogsFolder(), [this](const QString& message) { MM(message); }, this);
    connect(fFlowLog, &FlowLog::SavingProblemChanged, this, [this](const QString& problem) {
        fFlowLogProblem->setText(problem);
        fFlowLogProblem->setVisible(!problem.isEmpty());
    });
    fMessageFile = std::make_unique<MessageLogFile>(DataFolders::LogsFolder(), RunMark(), RunStarted(),
                                                    [this](const QString& message) { MM(message); });
    fMessageLog->SetLineSink([this](const QString& line) { fMessageFile->Write(line); },
                             QDir::toNativeSeparators(fMessageFile->Path()));
    fTimerEngine.setInterval(1000);
    connect(&fTimerEngine, &QTimer::timeout, this, &TGUIF::TimerEngineFired);
    WireDevicePages();
    FormCreate();
    fTimerEngine.start();
}

TGUIF::~TGUIF()
{
    fTimerEngine.stop();
    fControlServer.reset();
    // The LEDs go with the window; records that still refer to one must not free it again.
    for (TDeviceInfo& device : DevicesLocal)
        if (dynamic_cast<DeviceLed*>(device.Led) && fLeds->isAncestorOf(dynamic_cast<DeviceLed*>(device.Led)))
            device.Led = nullptr;
}

void TGUIF::BuildLayout()
{
    QFont windowFont(QStringLiteral("Arial"), 8);
    windowFont.setStyleHint(QFont::SansSerif);
    setFont(windowFont);
    setMinimumWidth(MinimumWindowWidth);

    fChart = Named(new FlowChart, "RtGraph2DMain");
    fSegmentTable = Named(new SegmentTableView, "MemoSegments");
    fDataTable = Named(new DataTable, "MemoData");
    fTopArea = Named(new QStackedWidget, "PanelTop");
    fTopArea->addWidget(fChart);
    fTopArea->addWidget(fSegmentTable);
    fTopArea->addWidget(fDataTable);
    fTopArea->setCurrentWidget(fChart);

    fDevices = Named(new DeviceListView, "ListViewDevices");
    connect(fDevices, &QTreeWidget::itemSelectionChanged, this, &TGUIF::SelectionChanged);
    connect(fDevices, &QTreeWidget::currentItemChanged, this, &TGUIF::SelectionChanged);
    connect(fDevices, &QTreeWidget::itemClicked, this, &TGUIF::SelectionChanged);
    connect(fDevices, &DeviceListView::KeyReleased, this, &TGUIF::SelectionChanged);

    fPages = Named(new QTabWidget, "PageControlMain");
    fConfigure = Named(new ConfigurePage, "TabSheetConfigure");
    fSegmentEditor = Named(new SegmentEditorPage, "TabSheetDesignSegments");
    fDirectControl = Named(new DirectControlPage, "TabSheetDirectControl");
    fMixtures = Named(new MixturesPage, "TabSheetMixtures");
    connect(fMixtures, &MixturesPage::LogLine, this, &TGUIF::MM);
    connect(fMixtures, &MixturesPage::SegmentProgramsChanged, this, [this](const QStringList& ports) {
        for (const QString& port : ports) {
            TDeviceInfo device;
            if (GetDeviceByPort(port, device))
                DeviceDetailsUI(tdGUI, device);
        }
        ShowFocusedDevice();
    });
    const auto selectedDevice = [this]() -> std::optional<TDeviceInfo> {
        TDeviceInfo device;
        if (GetSelectedDevice(device))
            return device;
        return std::nullopt;
    };
    fTools = Named(new ToolsPage(selectedDevice, *fToolsWindow), "TabSheetTools");
    fDesigner = Named(new DesignerPage(*fDevices, *fChart), "TabSheetDesigner");
    QStyle* look = style();
    fPages->addTab(fConfigure, look->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("Configure"));
    fPages->addTab(fSegmentEditor, look->standardIcon(QStyle::SP_FileDialogListView), QStringLiteral("Design segments"));
    fPages->addTab(fDirectControl, look->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Direct control"));
    fPages->addTab(fMixtures, look->standardIcon(QStyle::SP_DirIcon), QStringLiteral("Mixtures"));
    fPages->addTab(fTools, look->standardIcon(QStyle::SP_MessageBoxInformation), QStringLiteral("Tools"));
    fPages->addTab(fDesigner, look->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Designer"));
    fNotice = Named(new QLabel(fPages), "LabelLockNotice");
    fNotice->setAlignment(Qt::AlignCenter);
    fNotice->setWordWrap(true);
    fNotice->setAutoFillBackground(true);
    fNotice->setStyleSheet(QStringLiteral("QLabel { background: #FFFF00; color: #C00000; font-size: 14pt; }"));
    fNotice->hide();

    fMessageLog = Named(new MessageLog(LogTimeStamp), "MemoMain");
    fTips = Named(new RichTextLabel, "DzHTMLTextTips");

    auto* middle = Splitter(Qt::Horizontal, "SplitterMiddle");
    middle->addWidget(fDevices);
    middle->addWidget(fPages);
    middle->setStretchFactor(1, 1);
    middle->setSizes({DeviceListWidth, 1000});
    auto* bottom = Splitter(Qt::Horizontal, "SplitterBottom");
    bottom->addWidget(fMessageLog);
    bottom->addWidget(fTips);
    bottom->setStretchFactor(1, 1);
    bottom->setSizes({MessageLogWidth, 1000});
    auto* main = Splitter(Qt::Vertical, "SplitterMain");
    main->addWidget(fTopArea);
    main->addWidget(middle);
    main->addWidget(bottom);
    main->setStretchFactor(1, 1);
    main->setSizes({TopAreaHeight, 1000, BottomPanelHeight});
    for (QWidget* pane : {static_cast<QWidget*>(fTopArea), static_cast<QWidget*>(middle), static_cast<QWidget*>(bottom),
                          static_cast<QWidget*>(fDevices), static_cast<QWidget*>(fPages),
                          static_cast<QWidget*>(fMessageLog), static_cast<QWidget*>(fTips)})
        KeepPane(pane);
    setCentralWidget(main);

    fLeds = Named(new LedStrip, "StatusBarLeds");
    fProgressText = Named(new QLabel, "LabelProgress");
    fProgressBar = Named(new QProgressBar, "ProgressBarWait");
    fProgressBar->setMaximumWidth(200);
    fProgressBar->hide();
    fFlowLogProblem = Named(new QLabel, "LabelFlowLogProblem");
    fFlowLogProblem->setStyleSheet(QStringLiteral("QLabel { color: #C00000; font-weight: bold; }"));
    fFlowLogProblem->hide();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(fLeds);
    statusBar()->addWidget(fProgressText, 1);
    statusBar()->addPermanentWidget(fFlowLogProblem);
    statusBar()->addPermanentWidget(fProgressBar);
    fControlSocketText = Named(new QLabel, "LabelControlSocket");
    fControlSocketText->hide();
    statusBar()->addPermanentWidget(fControlSocketText);
}

void TGUIF::BuildMenus()
{
    QMenuBar* bar = menuBar();
    QStyle* look = style();

    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->addAction(QStringLiteral("Save software state"))->setEnabled(false);
    file->addAction(QStringLiteral("Load software state"))->setEnabled(false);

    QMenu* preferences = bar->addMenu(QStringLiteral("Preferences"));
    QMenu* timeUnit = preferences->addMenu(look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Time Unit"));
    const auto unitEntry = [&](const QString& caption, const QString& word) {
        QAction* entry = timeUnit->addAction(caption);
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, word] { SetTimeUnit(word); });
        return entry;
    };
    fMinute = unitEntry(QStringLiteral("Minute"), QStringLiteral("MINUTE"));
    fHour = unitEntry(QStringLiteral("Hour"), QStringLiteral("HOUR"));
    fDay = unitEntry(QStringLiteral("Day"), QStringLiteral("DAY"));
    fControlSocket = preferences->addAction(QStringLiteral("Control Socket"));
    fControlSocket->setCheckable(true);
    connect(fControlSocket, &QAction::triggered, this, [this](bool open) { RunReportingErrors([this, open] { SetControlSocketOpen(open); }); });

    QMenu* data = bar->addMenu(QStringLiteral("Data"));
    auto* views = new QActionGroup(this);
    const auto viewEntry = [&](const QString& caption) {
        QAction* entry = data->addAction(caption);
        entry->setCheckable(true);
        views->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, entry] { ShowTable1Click(entry); });
        return entry;
    };
    fShowGraph = viewEntry(QStringLiteral("Show Graph"));
    fShowSegmentTable = viewEntry(QStringLiteral("Show Segment Program Table"));
    fShowDataTable = viewEntry(QStringLiteral("Show Data Table"));
    fShowGraph->setChecked(true);
    data->addSeparator();
    data->addAction(QStringLiteral("Graph"))->setEnabled(false);
    const auto toggle = [&](const QString& caption, void (TGUIF::*handler)()) {
        QAction* entry = data->addAction(caption);
        entry->setCheckable(true);
        entry->setChecked(true);
        connect(entry, &QAction::triggered, this, handler);
        return entry;
    };
    fShowSegmentPrograms = toggle(QStringLiteral("Show Segment Programs"), &TGUIF::ShowSegmentPrograms1Click);
    fShowDeviceFlows = toggle(QStringLiteral("Show Device Flows"), &TGUIF::Showachievedflows1Click);
    connect(data->addAction(QStringLiteral("Clear Graph && Remove Data")), &QAction::triggered, this,
            [this] { ClearGraph(true); });
    data->addSeparator();
    data->addAction(QStringLiteral("Data Table"))->setEnabled(false);
    fAutoScroll = toggle(QStringLiteral("Auto-scroll to last line"), &TGUIF::Autoscrolltolastline1Click);

    QMenu* devices = bar->addMenu(QStringLiteral("Devices"));
    connect(devices->addAction(look->standardIcon(QStyle::SP_DriveNetIcon), QStringLiteral("Search Devices")),
            &QAction::triggered, this, &TGUIF::Searchdevices1Click);
    connect(devices->addAction(look->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Reset Devices")),
            &QAction::triggered, this, &TGUIF::ResetDevicesClick);
}

QAction* TGUIF::MenuEntry(const QString& caption) const
{
    for (QAction* menu : menuBar()->actions()) {
        if (!menu->menu())
            continue;
        if (menu->text() == caption)
            return menu;
        QList<QAction*> entries = menu->menu()->actions();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i]->text() == caption)
                return entries[i];
            if (entries[i]->menu())
                entries.append(entries[i]->menu()->actions());
        }
    }
    return nullptr;
}

void TGUIF::FormCreate()
{
    FormCaption();
    fPages->setCurrentWidget(fConfigure);
    SetTimeUnit(QStringLiteral("MINUTE"));

    fHover = new HelpHover([this](QWidget* control) { ShowHelp(control); },
                           [this](const QString& markup) {
                               fShownHelp = markup;
                               fTips->SetRichText(HelpMarkupToRichText(markup));
                           },
                           this);
    fHover->Watch(this);
    fHover->SetEnterText(fConfigure->ComboBoxDeviceFluid, FluidListHelpText());
    fHover->SetEnterText(fConfigure->ComboBoxDeviceFluidPump, FluidListHelpText());
    fHover->SetEnterText(fConfigure->ComboBoxFlowUnitPredefined, PredefinedConditionsHelpText());

    fDevices->clear();
    for (std::size_t i = 0; i < std::min<std::size_t>(2, DevicesLocal.size()); ++i)
        fDevices->AddDeviceRow(DevicesLocal[i]);

    fConfigure->FillFluidLists();
    fConfigure->FillPredefinedConditions();
    EngineLed = AddLedForThread();
    // A folder that cannot be used does not stop the program: the operator reads why here,
    // and each save there reports its own failure.
    for (const QString& problem : DataFolders::Prepare())
        MM(problem);
}

QString TGUIF::Caption()
{
    return QStringLiteral("Tessaly 2025-06-13 — data in ") + QDir::toNativeSeparators(DataFolders::DataFolder());
}

void TGUIF::FormCaption()
{
    setWindowTitle(Caption());
}

int TGUIF::GetDPIScaling() const
{
    return DpiScaling(logicalDpiX());
}

bool TGUIF::GetSelectedDevice(TDeviceInfo& aDev) const
{
    const QString port = fDevices->FocusedPort();
    return !port.isEmpty() && GetDeviceByPort(port, aDev);
}

bool TGUIF::ShowFocusedDevice()
{
    TDeviceInfo focused;
    if (!GetSelectedDevice(focused))
        return false;
    DeviceDetailsUI(tdGUI, focused);
    return true;
}

DeviceLed* TGUIF::AddLedForThread()
{
    return fLeds->AddLedForThread(GetDPIScaling());
}

void TGUIF::SetTimeUnit(const QString& aUnit)
{
    struct TUnit {
        const char* Word;
        double Factor;
        const char* Letter;
        QAction* Entry;
    };
    const TUnit units[] = {{"MINUTE", 1, "m", fMinute}, {"HOUR", 60, "h", fHour}, {"DAY", 1440, "d", fDay}};
    const TUnit* chosen = nullptr;
    for (const TUnit& unit : units)
        if (aUnit == QLatin1String(unit.Word))
            chosen = &unit;
    if (!chosen)
        return;
    TimeFactor = chosen->Factor;
    TimeUnitLetter = QString::fromLatin1(chosen->Letter);
    for (const TUnit& unit : units)
        unit.Entry->setChecked(&unit == chosen);

    const QString timeCaption = QStringLiteral("Time, ") + TimeUnitLetter;
    fDesigner->SetTimeUnit(TimeUnitLetter, TimeFactor);
    fChart->SetTimeAxisCaption(timeCaption);
    fMixtures->SetTimeUnit(TimeUnitLetter, TimeFactor);
    fSegmentEditor->SetTimeUnit(TimeUnitLetter, TimeFactor);
    // The chart keeps minutes and divides by the factor when it draws; its axis follows.
    fChart->SetTimeFactor(TimeFactor);
    ShowFocusedDevice();
}

void TGUIF::SelectionChanged()
{
    // A click changes the selection, the focus and then reports the click: handle it once.
    if (fSelectionPending)
        return;
    fSelectionPending = true;
    QTimer::singleShot(0, this, [this] {
        fSelectionPending = false;
        RunReportingErrors([this] { ListViewDevicesClick(); });
    });
}

void TGUIF::ListViewDevicesClick()
{
    fDevices->UpdateMarks();
    for (const DeviceListView::TRow& row : fDevices->Rows()) {
        TDeviceInfo device;
        if (!GetDeviceByPort(row.Port, device))
            continue;
        if (row.Selected && device.SerieSegment)
            SegmentSerie(device, false);
        else if (!row.Selected && device.SerieSegment)
            fSeries->ClearSeries(device.SerieSegment);
        Log().Send(QStringLiteral("Dev.FlowUnitUser.GasFlowMax: ") + FloatToStr(device.FlowUnitUser.GasFlowMax()));
    }
    if (!ShowFocusedDevice())
        fConfigure->ShowNoDevice();
    // The designer's rows follow the selection, also when no row has the focus: rows left
    // standing for devices that are no longer selected would mix them into the report, and
    // "Apply to device(s)" would send them setpoints.
    fDesigner->MixMakerComponentSetup();
    fDesigner->RtDoubleEditDesignMixTimeValueChanged();
}

void TGUIF::FlowSerie(TDeviceInfo& aDevice, double X, double Y, bool Clear)
{
    fSeries->FlowSerie(aDevice, X, Y, Clear);
}

void TGUIF::RefreshDeviceState(const TDeviceInfo& aDevice)
{
    fDevices->RefreshState(aDevice);
}

void TGUIF::SegmentSerie(TDeviceInfo& aDevice, bool Clear)
{
    fSeries->SegmentSerie(aDevice, Clear);
}

void TGUIF::MemoSegmentsUpdate()
{
    // Built from the programs of the selected devices: rebuilt only when one of its inputs
    // changed, and only while it is shown (showing it brings it up to date).
    if (!fSegmentTable->isVisible())
        return;
    std::vector<TDeviceInfo> selected;
    const bool show = fShowSegmentPrograms->isChecked();
    QString inputs = TimeUnitLetter + u'|' + FloatToStr(TimeFactor) + u'|' + QString::number(show);
    for (const QString& port : fDevices->SelectedPorts()) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device))
            continue;
        inputs += u'\n' + device.COMPort + u'|' + QString::number(device.DevType) + u'|' + device.SegmentProgram;
        selected.push_back(std::move(device));
    }
    if (inputs == fSegmentTableInputs)
        return;
    fSegmentTableInputs = inputs;
    fSegmentTable->ShowText(MergeSegments(show, TimeUnitLetter, TimeFactor, selected));
}

void TGUIF::DataTableColumns()
{
    for (const QString& line : ::DataTableColumns(DevicesLocal))
        AppendDataRow(line);
}

void TGUIF::AppendDataRow(const QString& line)
{
    fDataTable->AppendLine(line);
    if (IsAutoScroll())
        fDataTable->ScrollToLastLine();
    if (fControlServer && fControlServer->HasSubscribers())
        fControlServer->Broadcast(ControlEventLine(QStringLiteral("row"), {{QStringLiteral("line"), line}}));
}

bool TGUIF::IsAutoScroll() const
{
    return fAutoScroll->isChecked();
}

void TGUIF::ShowTable1Click(QAction* chosen)
{
    for (QAction* entry : {fShowGraph, fShowSegmentTable, fShowDataTable})
        entry->setChecked(entry == chosen);
    if (chosen == fShowSegmentTable)
        fTopArea->setCurrentWidget(fSegmentTable);
    else if (chosen == fShowDataTable)
        fTopArea->setCurrentWidget(fDataTable);
    else
        fTopArea->setCurrentWidget(fChart);
    MemoSegmentsUpdate();
}

void TGUIF::ShowSegmentPrograms1Click()
{
    fSeries->SetSegmentSeriesVisible(fShowSegmentPrograms->isChecked());
    MemoSegmentsUpdate();
}

void TGUIF::Showachievedflows1Click()
{
    fSeries->SetFlowSeriesVisible(fShowDeviceFlows->isChecked());
    MemoSegmentsUpdate();
}

void TGUIF::Autoscrolltolastline1Click()
{
    MemoSegmentsUpdate();
}

void TGUIF::ShowHelp(QWidget* Sender)
{
    if (!Sender || !isAncestorOf(Sender))
        return;
    MouseOverName = Sender->objectName();
    const QString markup = HelpTextForControl(MouseOverName);
    if (markup == fShownHelp)
        return;
    fShownHelp = markup;
    fTips->SetRichText(HelpMarkupToRichText(markup));
}

void TGUIF::CloseBySignal(int signal)
{
    MM(QStringLiteral("Closing on ") + CloseOnSignal::SignalName(signal));
    fClosingBySignal = true;
    // Ends every event loop that runs, a modal message's too; not when a close already runs,
    // which ends the program itself.
    if (close() && QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void TGUIF::MM(const QString& aMessage)
{
    fMessageLog->MM(aMessage);
}

void TGUIF::AppendMessageLog(const QString& text)
{
    fMessageLog->AppendText(text);
}

void TGUIF::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void TGUIF::LockWindow(const QString& caption, const QString& notice)
{
    if (!caption.isEmpty())
        setWindowTitle(caption);
    if (!notice.isEmpty()) {
        fNotice->setText(notice);
        fNotice->setGeometry(fPages->rect());
        fNotice->show();
        fNotice->raise();
    }
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
}

void TGUIF::UnlockWindow()
{
    FormCaption();
    fNotice->hide();
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    fProgressText->clear();
    fProgressBar->hide();
}

void TGUIF::ShowProgress(const QString& what, int done, int total)
{
    fProgressText->setText(what);
    fProgressBar->setRange(0, std::max(total, 1));
    fProgressBar->setValue(std::clamp(done, 0, std::max(total, 1)));
    fProgressBar->show();
}

void TGUIF::SetEngineTimerEnabled(bool enabled)
{
    if (enabled)
        fTimerEngine.start();
    else
        fTimerEngine.stop();
}

void TGUIF::ClearDeviceRows()
{
    fDevices->clear();
}

void TGUIF::AddDeviceRow(const TDeviceInfo& device)
{
    fDevices->AddDeviceRow(device);
}

void TGUIF::MarkAllRowsUnknown()
{
    fDevices->MarkAllRowsUnknown();
}

void TGUIF::ShowDeviceDetails(const TDeviceInfo& device)
{
    TDeviceInfo shown = device;
    DeviceDetailsUI(tdGUI, shown);
}

void TGUIF::RefreshDeviceRow(const TDeviceInfo& device)
{
    fDevices->RefreshRow(device);
}

void TGUIF::ClearGraph(bool RemoveData)
{
    QStringList ports;
    for (const DeviceListView::TRow& row : fDevices->Rows())
        ports << row.Port;
    fSeries->ClearGraph(RemoveData, ports);
}

void TGUIF::FlowDataSave(bool ForceSave, const QString& Suffix)
{
    fFlowLog->FlowDataSave(*fDataTable, ForceSave, Suffix);
}

void TGUIF::ClearDataTable()
{
    fDataTable->Clear();
    fFlowLog->TableCleared();
}

void TGUIF::SetDataTableHeaderDue()
{
    DataTableHeaderDue = true;
}

void TGUIF::TimerEngineFired()
{
    RunReportingErrors([this] { fEngine->TimerEngineTimer(); });
}

void TGUIF::Searchdevices1Click()
{
    ::Searchdevices1Click(*this);
}

void TGUIF::ResetDevicesClick()
{
    FlowDataSave(true, QStringLiteral("ResetDevicesClick"));
    const QString notice = TerminateThreads(*this, ShutdownTimeout_s, AfterShutdown::KeepRunning);
    ShowFocusedDevice();
    if (!notice.isEmpty())
        ShowMessage(notice);
}

void TGUIF::FormClose()
{
    // No script acts on the devices while they are brought to rest.
    CloseControlSocket();
    FlowDataSave(true, QStringLiteral("OnClose"));
    const QString notice = TerminateThreads(*this, ShutdownTimeout_s, AfterShutdown::EndProgram);
    // A box would hold the program open after a logout or a system shut-down until the system
    // kills it; the message log and its file keep the notice instead.
    if (!notice.isEmpty() && fClosingBySignal)
        MM(notice);
    else if (!notice.isEmpty())
        ShowMessage(notice);
    fTimerEngine.stop();
    if (!fFlowLog->WaitForSaves(CloseSaveTimeoutMs))
        Log().Send(QStringLiteral("Flow log still being written at close"));
    delete EngineLed;
    EngineLed = nullptr;
}

void TGUIF::closeEvent(QCloseEvent* event)
{
    // Closing runs the shut-down, which keeps the window's messages flowing: a second close
    // arriving meanwhile waits for the first.
    if (fClosing && !fClosed) {
        event->ignore();
        return;
    }
    if (!fClosed) {
        fClosing = true;
        RunReportingErrors([this] { FormClose(); });
        fClosed = true;
    }
    event->accept();
}
