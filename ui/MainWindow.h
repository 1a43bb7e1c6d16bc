#pragma once
// The main window TGUIF: the device list on the left, the six tab pages in the middle, the
// chart or one of the two text tables at the top, the message log, the help tips and the LED
// strip at the bottom. It wires the parts together and implements the window side of the
// device runtime (WindowPort); the engine tick runs on its timer.
#include "devices/DeviceInfo.h"
#include "devices/WindowPort.h"
#include "ui/LedStrip.h" // DeviceLed, complete for AddLedForThread's covariant return
#include "ui/pages/DevicePagesWindow.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <optional>

class ConfigurePage;
class ControlCommands;
class ControlServer;
class DataTable;
class DesignerPage;
class DeviceListView;
class DeviceSeries;
class DirectControlPage;
class EngineTick;
class FlowChart;
class FlowLog;
class HelpHover;
class LedStrip;
class MessageLog;
class MessageLogFile;
class MixturesPage;
class QAction;
class QLabel;
class QProgressBar;
class QStackedWidget;
class QTabWidget;
class RichTextLabel;
class SegmentEditorPage;
class SegmentTableView;
class TInstrumentToolsWindow;
class ToolsPage;
struct TConfigureValues;

// Which way DeviceDetailsUI copies: record to window or window to record.
enum TDirectionTo { tdGUI, tdCODE };

class TGUIF : public QMainWindow, public WindowPort, public TDevicePagesWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence; the engine timer runs from here on.
    explicit TGUIF(QWidget* parent = nullptr);
    ~TGUIF() override;

    // Window-level state.
    double TimeFactor = 1;                       // minutes per displayed time unit
    QString TimeUnitLetter = QStringLiteral("m");
    double TimeOrigin = 0;                       // days; 0 until the first start
    bool DataTableHeaderDue = true;
    DeviceLed* EngineLed = nullptr;
    QString MouseOverName;
    // How long Reset Devices and closing wait for the workers to bring their instruments to
    // rest before naming those that did not confirm (seconds).
    double ShutdownTimeout_s = 20;

    // The name and version, and where the operator's files go.
    static QString Caption();
    void FormCaption();
    int GetDPIScaling() const;
    // A copy of the focused row's device; false without a focused row or device.
    bool GetSelectedDevice(TDeviceInfo& aDev) const;
    // Shows the focused device on the pages again, after a handler that showed others: the
    // pages' controls edit the focused device. False without one.
    bool ShowFocusedDevice();
    DeviceLed* AddLedForThread() override;
    // "MINUTE", "HOUR" or "DAY"; any other word changes nothing.
    void SetTimeUnit(const QString& aUnit);
    // The selection handling of the device list (click, change, key release).
    void ListViewDevicesClick();
    // tdGUI shows the record on the pages and refreshes its row; tdCODE copies the Configure
    // page into the record and stores it (not after an invalid syringe size).
    void DeviceDetailsUI(TDirectionTo aDirection, TDeviceInfo& aDevInfo);

    // The Configure, Design segments and Direct control pages (MainWindowDevicePages.cpp).
    // The focused device, and the Configure page's controls with the direct setpoint.
    std::optional<TDeviceInfo> FocusedDevice() const;
    TConfigureValues ConfigureValues() const;
    void ButtonApplyConfigurationClick();
    // The maximum and resulting flows of the Design segments and Direct control pages; a
    // pump's planned dose commands go to the message log.
    void UpdateGasFlowUnits();
    void ButtonSegmentApplyClick();
    void ButtonSegmentDeleteClick();
    void ListViewSegmentProgramChange();
    void RtDoubleEditSegmentTimeValueChanged();
    void RtDoubleEditSegmentFlowValueChanged();
    void LoadSegmentProgram2Click();
    void SaveSegmentProgramAs1Click();
    void ButtonSegmentProgramStartClick();
    // Also the Direct control page's "Stop".
    void ButtonSegmentProgramStopClick();
    void RtDoubleEditDirectControlDesiredFlowValueChanged();
    void ButtonApplyFlowClick();
    // The designer's "Apply to device(s)": after the operator confirms, the rows' flows become
    // the selected devices' direct setpoints, applied as ButtonApplyFlowClick applies them.
    void BitBtnDesignerApplyClick();
    // TDevicePagesWindow (its MM, ShowDeviceDetails, FlowDataSave and SetDataTableHeaderDue
    // are WindowPort's too; AddLedForThread is above).
    void ShowWorkerStartUp(const QString& what) override;
    void SetDeviceLedColor(TDeviceLed& Led, QRgb OffColor) override;
    void MixMakerComponentSetup() override;
    void ClearFlowSerie(TDeviceInfo& aDevice) override;

    // Chart, data table and flow logs.
    void FlowSerie(TDeviceInfo& aDevice, double X, double Y, bool Clear);
    void SegmentSerie(TDeviceInfo& aDevice, bool Clear);
    void MemoSegmentsUpdate();
    void DataTableColumns();
    // A data row of the engine tick, followed to the last line while auto-scroll is ticked.
    void AppendDataRow(const QString& line);
    // The state column of the device's row, as its worker reports it.
    void RefreshDeviceState(const TDeviceInfo& aDevice);
    // The view of the top area: "Show Graph", "Show Segment Program Table" or "Show Data Table".
    void ShowTable1Click(QAction* chosen);
    void ShowSegmentPrograms1Click();
    void Showachievedflows1Click();
    void Autoscrolltolastline1Click();

    // The "Devices" menu's commands.
    void Searchdevices1Click();
    void ResetDevicesClick();

    // The control socket (MainWindowControl.cpp): opened at the user's runtime folder by the
    // "Control Socket" entry of the Preferences menu (or --control) and closed by it again;
    // its path is in the message log and the status bar. OpenControlSocket at another path
    // (tests) shows the reason and returns false when it cannot open.
    void SetControlSocketOpen(bool open);
    bool OpenControlSocket(const QString& path);
    void CloseControlSocket();
    // Null while closed.
    ControlServer* Control() const { return fControlServer.get(); }
    // The engine tick took a new reading of the device: subscribed clients hear of it.
    void NewReading(const TDeviceInfo& device);

    // Help tips: the text for the control under the pointer.
    void ShowHelp(QWidget* Sender);

    // Closes the window as the operator would, for a termination signal, and ends the program.
    void CloseBySignal(int signal);

    // WindowPort.
    void MM(const QString& aMessage) override;
    void AppendMessageLog(const QString& text) override;
    void ProcessEvents() override;
    void LockWindow(const QString& caption, const QString& notice) override;
    void UnlockWindow() override;
    void ShowProgress(const QString& what, int done, int total) override;
    void SetEngineTimerEnabled(bool enabled) override;
    void ClearDeviceRows() override;
    void AddDeviceRow(const TDeviceInfo& device) override;
    void MarkAllRowsUnknown() override;
    void ShowDeviceDetails(const TDeviceInfo& device) override;
    void RefreshDeviceRow(const TDeviceInfo& device) override;
    void ClearGraph(bool RemoveData) override;
    void FlowDataSave(bool ForceSave, const QString& Suffix) override;
    void ClearDataTable() override;
    void SetDataTableHeaderDue() override;

    // The parts, for the pages and the tests.
    DeviceListView& ListViewDevices() const { return *fDevices; }
    FlowChart& Chart() const { return *fChart; }
    DeviceSeries& Series() const { return *fSeries; }
    DataTable& MemoData() const { return *fDataTable; }
    SegmentTableView& MemoSegments() const { return *fSegmentTable; }
    MessageLog& MemoMain() const { return *fMessageLog; }
    RichTextLabel& DzHTMLTextTips() const { return *fTips; }
    LedStrip& Leds() const { return *fLeds; }
    FlowLog& FlowLogs() const { return *fFlowLog; }
    MessageLogFile& MessageFile() const { return *fMessageFile; }
    // Shown on the status strip while flow logs cannot be saved.
    QLabel& FlowLogProblem() const { return *fFlowLogProblem; }
    EngineTick& Engine() const { return *fEngine; }
    HelpHover& Hover() const { return *fHover; }
    QTimer& TimerEngine() { return fTimerEngine; }
    QTabWidget& Pages() const { return *fPages; }
    ConfigurePage& Configure() const { return *fConfigure; }
    SegmentEditorPage& SegmentEditor() const { return *fSegmentEditor; }
    DirectControlPage& DirectControl() const { return *fDirectControl; }
    MixturesPage& Mixtures() const { return *fMixtures; }
    ToolsPage& Tools() const { return *fTools; }
    DesignerPage& Designer() const { return *fDesigner; }
    QStackedWidget& TopArea() const { return *fTopArea; }
    QLabel& ProgressText() const { return *fProgressText; }
    QProgressBar& ProgressBar() const { return *fProgressBar; }

    // Menu entries by their caption (as written, "&&" included); nullptr for none.
    QAction* MenuEntry(const QString& caption) const;
    bool IsAutoScroll() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // UpdateGasFlowUnits, with or without the log lines of a pump's plans.
    void ShowFlowDisplays(bool LogPlans);
    void BuildLayout();
    void BuildMenus();
    void FormCreate();
    void FormClose();
    void TimerEngineFired();
    void SelectionChanged();
    // Connects the Configure, Design segments and Direct control pages to their handlers.
    void WireDevicePages();

    DeviceListView* fDevices = nullptr;
    FlowChart* fChart = nullptr;
    DataTable* fDataTable = nullptr;
    SegmentTableView* fSegmentTable = nullptr;
    QStackedWidget* fTopArea = nullptr;
    MessageLog* fMessageLog = nullptr;
    RichTextLabel* fTips = nullptr;
    LedStrip* fLeds = nullptr;
    QLabel* fProgressText = nullptr;
    QProgressBar* fProgressBar = nullptr;
    QLabel* fNotice = nullptr;
    QLabel* fFlowLogProblem = nullptr;
    QTabWidget* fPages = nullptr;
    ConfigurePage* fConfigure = nullptr;
    SegmentEditorPage* fSegmentEditor = nullptr;
    DirectControlPage* fDirectControl = nullptr;
    MixturesPage* fMixtures = nullptr;
    ToolsPage* fTools = nullptr;
    DesignerPage* fDesigner = nullptr;
    // The window as the instrument tools lock and unlock it.
    std::unique_ptr<TInstrumentToolsWindow> fToolsWindow;

    QAction* fMinute = nullptr;
    QAction* fHour = nullptr;
    QAction* fDay = nullptr;
    QAction* fShowGraph = nullptr;
    QAction* fShowSegmentTable = nullptr;
    QAction* fShowDataTable = nullptr;
    QAction* fShowSegmentPrograms = nullptr;
    QAction* fShowDeviceFlows = nullptr;
    QAction* fAutoScroll = nullptr;
    QAction* fControlSocket = nullptr;
    QLabel* fControlSocketText = nullptr;

    std::unique_ptr<DeviceSeries> fSeries;
    std::unique_ptr<EngineTick> fEngine;
    FlowLog* fFlowLog = nullptr;
    std::unique_ptr<MessageLogFile> fMessageFile;
    HelpHover* fHover = nullptr;
    QTimer fTimerEngine;
    std::unique_ptr<ControlCommands> fControlCommands;
    std::unique_ptr<ControlServer> fControlServer;

    QString fShownHelp;            // markup now in the tip area
    QString fSegmentTableInputs;   // what the segment table was last built from
    bool fSelectionPending = false;
    bool fClosing = false;
    bool fClosed = false;
    // Closed by a signal: nobody may be at the window to confirm a box.
    bool fClosingBySignal = false;
};
