// The main window: start-up state, menus, the device list's selection, the message log, the
// time unit, the LED strip, the top area's views and closing with a running device.
#include "WindowTestSupport.h"

#include "devices/MFCThread.h"
#include "devices/Shutdown.h"
#include "ui/DataTable.h"
#include "ui/DataTableLines.h"
#include "ui/DeviceListView.h"
#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"
#include "ui/LedStrip.h"
#include "ui/MessageLog.h"
#include "ui/SegmentTableView.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/MixturesPage.h"
#include "ui/pages/SegmentEditorPage.h"

#include "core/GasTable.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBlock>

namespace {

QStringList RowTexts(const DeviceListView& list, int row)
{
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column)
        texts << list.topLevelItem(row)->text(column);
    return texts;
}

class MainWindow : public WindowTest {
protected:
    // A data table's text as a flow log holds it: 8-bit, every line ended by CR LF.
    static QByteArray TableText(const QStringList& header, const QStringList& rows)
    {
        QByteArray text;
        for (const QString& line : header + rows)
            text += line.toLatin1() + "\r\n";
        return text;
    }

    // The one flow log whose name ends in the suffix.
    QByteArray LogText(const QString& suffix) const
    {
        const QStringList files = LogFiles().filter(suffix);
        if (files.size() != 1) {
            ADD_FAILURE() << "flow logs: " << LogFiles().join(", ").toStdString();
            return {};
        }
        QFile log(LogFolder() + u'/' + files[0]);
        if (!log.open(QIODevice::ReadOnly))
            ADD_FAILURE() << files[0].toStdString();
        return log.readAll();
    }
};

TEST_F(MainWindow, StartsWithTheTwoDemoDevicesAndNothingFocused)
{
    window->show();
    window->activateWindow();
    window->ListViewDevices().setFocus();
    QCoreApplication::processEvents();

    const DeviceListView& list = window->ListViewDevices();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(list, 0), QStringList({"COMX", "Unknown", "Simulated", "MFC", "Virtual Demo"}));
    EXPECT_EQ(RowTexts(list, 1), QStringList({"COMY", "Unknown", "Simulated", "MFC", "Virtual Demo"}));
    EXPECT_EQ(list.headerItem()->text(0), "COM port");
    EXPECT_EQ(list.headerItem()->text(4), "Name or role");

    TDeviceInfo focused;
    EXPECT_FALSE(window->GetSelectedDevice(focused));
    EXPECT_EQ(list.FocusedPort(), QString());
    EXPECT_EQ(window->Configure().EditDeviceType->text(), "Device type");

    EXPECT_EQ(window->windowTitle(), "Tessaly 2025-06-13 — data in " + Folder());
    QStringList tabs;
    for (int i = 0; i < window->Pages().count(); ++i)
        tabs << window->Pages().tabText(i);
    EXPECT_EQ(tabs, QStringList({"Configure", "Design segments", "Direct control", "Mixtures", "Tools", "Designer"}));
    EXPECT_EQ(window->Pages().currentIndex(), 0);
    EXPECT_EQ(window->TopArea().currentWidget(), &window->Chart());

    EXPECT_EQ(window->Configure().ComboBoxDeviceFluid->count(), qsizetype(GasItems().size()) + 1);
    EXPECT_FALSE(window->Configure().ComboBoxDeviceFluid->itemData(0).isValid()); // the header
    EXPECT_EQ(window->Configure().ComboBoxDeviceFluidPump->count(), 2);
    EXPECT_EQ(window->Configure().ComboBoxDeviceFluidPump->itemData(1).toInt(), 1001);
    EXPECT_EQ(window->Configure().ComboBoxFlowUnitPredefined->count(), 22);
    EXPECT_EQ(window->Configure().ComboBoxFlowUnitPredefined->itemText(3), "20     68    1.01325  EPA, NIST");

    ASSERT_NE(window->EngineLed, nullptr);
    EXPECT_EQ(window->Leds().LedCount(), 1);
    EXPECT_TRUE(QDir(Folder()).exists("Segment Programs"));
    EXPECT_TRUE(QDir(Folder()).exists("Logs"));
    EXPECT_TRUE(window->MemoData().Text().isEmpty());
    EXPECT_TRUE(window->DataTableHeaderDue);
    EXPECT_EQ(window->TimeOrigin, 0);
}

TEST_F(MainWindow, ADataFolderThatCannotBeCreatedIsReportedAndTheWindowStillWorks)
{
    // An operator's file where the data folder should be: kept, named in the message log, and
    // every flow-log save there reports its own failure.
    const QString blocked = Folder() + "/blocked";
    {
        QFile file(blocked);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept");
    }
    window.reset();
    DataFolders::SetRoot(blocked);
    window = std::make_unique<TGUIF>();
    window->TimerEngine().stop();

    EXPECT_TRUE(window->MemoMain().Text().contains("Cannot create the folder \"" + blocked + "\": Not a directory"))
        << window->MemoMain().Text().toStdString();
    EXPECT_EQ(window->windowTitle(), "Tessaly 2025-06-13 — data in " + blocked);
    window->AppendDataRow("0:00:01 row");
    window->FlowDataSave(true, "ResetDevicesClick");
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    EXPECT_TRUE(window->MemoMain().Text().contains("Flow log not saved: " + blocked + "/Logs/"))
        << window->MemoMain().Text().toStdString();
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "kept");
}

TEST_F(MainWindow, MenusCarryTheirCaptionsTicksAndDisabledHeadings)
{
    struct Entry {
        const char* caption;
        bool enabled;
        bool checkable;
        bool checked;
    };
    const Entry entries[] = {
        {"Save software state", false, false, false},
        {"Load software state", false, false, false},
        {"Minute", true, true, true},
        {"Hour", true, true, false},
        {"Day", true, true, false},
        {"Show Graph", true, true, true},
        {"Show Segment Program Table", true, true, false},
        {"Show Data Table", true, true, false},
        {"Graph", false, false, false},
        {"Show Segment Programs", true, true, true},
        {"Show Device Flows", true, true, true},
        {"Clear Graph && Remove Data", true, false, false},
        {"Data Table", false, false, false},
        {"Auto-scroll to last line", true, true, true},
        {"Search Devices", true, false, false},
        {"Reset Devices", true, false, false},
    };
    for (const Entry& e : entries) {
        const QAction* action = window->MenuEntry(QString::fromLatin1(e.caption));
        ASSERT_NE(action, nullptr) << e.caption;
        EXPECT_EQ(action->isEnabled(), e.enabled) << e.caption;
        EXPECT_EQ(action->isCheckable(), e.checkable) << e.caption;
        EXPECT_EQ(action->isChecked(), e.checked) << e.caption;
    }
    // The doubled ampersand shows as one.
    EXPECT_EQ(window->MenuEntry("Clear Graph && Remove Data")->iconText(), "Clear Graph & Remove Data");

    QStringList menus;
    for (const QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"File", "Preferences", "Data", "Devices"}));
    // Separators before the two headings of "Data".
    const QList<QAction*> data = window->MenuEntry("Data")->menu()->actions();
    for (const char* heading : {"Graph", "Data Table"}) {
        const qsizetype at = data.indexOf(window->MenuEntry(QString::fromLatin1(heading)));
        ASSERT_GT(at, 0);
        EXPECT_TRUE(data[at - 1]->isSeparator()) << heading;
    }
}

TEST_F(MainWindow, SelectionMarksAndTheSelectedDevicesProgramsOnTheChart)
{
    DeviceListView& list = window->ListViewDevices();
    QTreeWidgetItem* x = list.RowOfPort("COMX");
    QTreeWidgetItem* y = list.RowOfPort("COMY");

    list.setCurrentItem(x);
    ServeUntil([&] { return list.RowMark("COMX") == QStringLiteral("\u25C6"); }, 1000);
    EXPECT_EQ(list.RowMark("COMX"), QStringLiteral("\u25C6"));
    EXPECT_EQ(list.RowMark("COMY"), QString());
    EXPECT_EQ(window->Configure().EditDeviceType->text(), "Simulated MFC");
    EXPECT_EQ(window->Configure().EditDeviceName->text(), "Virtual Demo");

    // A ctrl-click on the second row: it takes the focus, the first stays selected.
    list.setCurrentItem(y, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ServeUntil([&] { return list.RowMark("COMY") == QStringLiteral("\u25C6"); }, 1000);
    EXPECT_EQ(list.RowMark("COMY"), QStringLiteral("\u25C6"));
    EXPECT_EQ(list.RowMark("COMX"), QStringLiteral("\u25C7"));
    EXPECT_EQ(list.SelectedPorts(), QStringList({"COMX", "COMY"}));

    TDeviceInfo comx, comy;
    ASSERT_TRUE(GetDeviceByPort("COMX", comx));
    ASSERT_TRUE(GetDeviceByPort("COMY", comy));
    ASSERT_NE(comx.SerieSegment, nullptr);
    ASSERT_NE(comy.SerieSegment, nullptr);
    EXPECT_FALSE(window->Chart().Points(DeviceSeries::IdOf(comx.SerieSegment)).empty());
    EXPECT_FALSE(window->Chart().Points(DeviceSeries::IdOf(comy.SerieSegment)).empty());

    // Deselecting the first row empties its requested-flow series.
    x->setSelected(false);
    ServeUntil([&] { return list.RowMark("COMX").isEmpty(); }, 1000);
    EXPECT_EQ(list.RowMark("COMX"), QString());
    EXPECT_TRUE(window->Chart().Points(DeviceSeries::IdOf(comx.SerieSegment)).empty());
    EXPECT_FALSE(window->Chart().Points(DeviceSeries::IdOf(comy.SerieSegment)).empty());
    // One series per device, however often it was redrawn.
    ASSERT_TRUE(GetDeviceByPort("COMY", comy));
    window->ListViewDevicesClick();
    TDeviceInfo again;
    ASSERT_TRUE(GetDeviceByPort("COMY", again));
    EXPECT_EQ(again.SerieSegment, comy.SerieSegment);
}

TEST_F(MainWindow, RowsRefreshWithStateAndGasAndSortByDevice)
{
    DeviceListView& list = window->ListViewDevices();
    list.clear();
    TDeviceInfo b = MakeControllerRecord(dtMFCB, "1", "Anode", NamedColor::Red, 100);
    b.COMPort = "COM7";
    TDeviceInfo pump = MakeControllerRecord(dtPump, "2", "Humidifier", NamedColor::Blue, 0);
    pump.COMPort = "COM3";
    TDeviceInfo a = MakeControllerRecord(dtMFCA, "3", "Cathode", NamedColor::Green, 100);
    a.COMPort = "COM9";
    for (const TDeviceInfo& device : {b, pump, a})
        window->AddDeviceRow(device);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "COM9"); // MFC-A
    EXPECT_EQ(list.topLevelItem(1)->text(0), "COM7"); // MFC-B
    EXPECT_EQ(list.topLevelItem(2)->text(0), "COM3"); // Pump

    TMFCThread worker;
    a.ThreadMFC = &worker;
    a.FluidID = 0; // Air
    a.ControlMode = dcmSegment;
    list.RefreshRow(a);
    EXPECT_EQ(RowTexts(list, 0), QStringList({"COM9", "Segment", "Blendor", "MFC-A:Air", "Cathode"}));
    a.ControlMode = dcmIdle;
    a.FluidID = 123456; // no such gas
    list.RefreshRow(a);
    EXPECT_EQ(RowTexts(list, 0), QStringList({"COM9", "Ready", "Blendor", "MFC-A:Undefined", "Cathode"}));
    a.ControlMode = dcmDirect;
    list.RefreshRow(a);
    EXPECT_EQ(list.topLevelItem(0)->text(1), "Direct");
    window->MarkAllRowsUnknown();
    EXPECT_EQ(list.topLevelItem(0)->text(1), "Unknown");
}

TEST_F(MainWindow, MessageLogLinesCarryTheTimeOfDay)
{
    const FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(14, 3, 7, 45)));
    window->MM("abc");
    window->AppendMessageLog(QStringLiteral("\r\n14:03:08:000 Finished searching devices\r\n"));
    window->MM("two\r\nlines");
    EXPECT_EQ(window->MemoMain().Text(),
              "14:03:07:045 abc\n\n14:03:08:000 Finished searching devices\n14:03:07:045 two\nlines");
}

TEST_F(MainWindow, TimeUnitChangesCaptionsTicksAndTheChartScale)
{
    window->show();
    QCoreApplication::processEvents();
    TDeviceInfo& comx = DevicesLocal[0];
    window->FlowSerie(comx, 60, 40, false);
    window->FlowSerie(comx, 120, 60, false);
    window->Chart().Redraw();
    ASSERT_FALSE(window->Chart().IsZoomed());

    struct Case {
        const char* word;
        double factor;
        const char* letter;
        const char* checked;
        double axisMin, axisMax; // the data from 60 to 120 minutes, widened to whole time steps
    };
    const Case cases[] = {{"HOUR", 60, "h", "Hour", 1, 2},
                          {"DAY", 1440, "d", "Day", 0.04, 0.085},
                          {"MINUTE", 1, "m", "Minute", 60, 120}};
    for (const Case& c : cases) {
        window->SetTimeUnit(QString::fromLatin1(c.word));
        const QString letter = QString::fromLatin1(c.letter);
        EXPECT_EQ(window->TimeFactor, c.factor);
        EXPECT_EQ(window->Chart().TimeFactor(), c.factor);
        EXPECT_EQ(window->TimeUnitLetter, letter);
        for (const char* entry : {"Minute", "Hour", "Day"})
            EXPECT_EQ(window->MenuEntry(QString::fromLatin1(entry))->isChecked(), QString::fromLatin1(entry) == c.checked)
                << c.word << " " << entry;
        EXPECT_EQ(window->Chart().TimeAxisCaption(), "Time, " + letter);
        EXPECT_EQ(window->SegmentEditor().LabelSegmentStartTime->text(), "Start time, " + letter);
        EXPECT_EQ(window->Designer().MixDesignGroupBox->title(), "Time, " + letter);
        EXPECT_EQ(window->Mixtures().LabelMixSegmentsAddTime->text(), "Time, " + letter);
        // The chart keeps minutes and shows them in the unit: 90 minutes stand at 1.5 hours.
        EXPECT_DOUBLE_EQ(window->Chart().RtPointSeriesXValueTransformation(90), 90 / c.factor);
        // Not zoomed, the time axis follows the data in the new unit.
        const TChartView view = window->Chart().View();
        EXPECT_FALSE(window->Chart().IsZoomed()) << c.word;
        EXPECT_NEAR(view.XMin, c.axisMin, 1e-9) << c.word;
        EXPECT_NEAR(view.XMax, c.axisMax, 1e-9) << c.word;
    }

    // Zoomed, every zoom level keeps showing the same stretch of time in whatever unit: from 30
    // to 75 minutes, and one step back from 20 to 100 minutes.
    window->Chart().ZoomTo({20, 100, 0, 80});
    window->Chart().ZoomTo({30, 75, 10, 90});
    for (const Case& c : {cases[0], cases[1], cases[2]}) {
        window->SetTimeUnit(QString::fromLatin1(c.word));
        const TChartView view = window->Chart().View();
        EXPECT_EQ(window->Chart().ZoomDepth(), 2) << c.word;
        EXPECT_NEAR(view.XMin * c.factor, 30, 1e-9) << c.word;
        EXPECT_NEAR(view.XMax * c.factor, 75, 1e-9) << c.word;
        EXPECT_EQ(view.YMin, 10) << c.word;
        EXPECT_EQ(view.YMax, 90) << c.word;
    }
    window->SetTimeUnit("HOUR");
    window->Chart().ZoomBack();
    EXPECT_NEAR(window->Chart().View().XMin * 60, 20, 1e-9);
    EXPECT_NEAR(window->Chart().View().XMax * 60, 100, 1e-9);
    window->Chart().ResetZoom();
    EXPECT_NEAR(window->Chart().View().XMin, 1, 1e-9);
    EXPECT_NEAR(window->Chart().View().XMax, 2, 1e-9);

    // A word that names no unit changes nothing.
    window->SetTimeUnit("WEEK");
    EXPECT_EQ(window->TimeFactor, 60);
    EXPECT_EQ(window->TimeUnitLetter, "h");
    EXPECT_TRUE(window->MenuEntry("Hour")->isChecked());
    EXPECT_EQ(window->Chart().TimeFactor(), 60);
}

TEST_F(MainWindow, LedsStandSideBySideScaledByTheScreen)
{
    EXPECT_EQ(DpiScaling(96), 1);
    EXPECT_EQ(DpiScaling(120), 1);
    EXPECT_EQ(DpiScaling(144), 2); // 1.5 to the even neighbour
    EXPECT_EQ(DpiScaling(240), 2); // 2.5 likewise
    EXPECT_EQ(DpiScaling(288), 3);
    EXPECT_EQ(DpiScaling(10), 1);

    LedStrip strip;
    for (int i = 0; i < 2; ++i)
        strip.AddLedForThread(2);
    DeviceLed* third = strip.AddLedForThread(2);
    EXPECT_EQ(third->geometry(), QRect(72, 4, 32, 32));
    EXPECT_EQ(third->OffColor(), QColor(192, 192, 192));
    EXPECT_EQ(third->OnColor(), QColor(0, 255, 0));
    EXPECT_EQ(third->Shape(), Led::TShape::Square);
    EXPECT_FALSE(third->HasBorder());
    // Freed through the device record by the shut-down: the next LED takes the place counted
    // from those left.
    DevicesLocal[1].Led = third;
    TerminateThreads(*window, 1);
    EXPECT_EQ(DevicesLocal[1].Led, nullptr);
    EXPECT_EQ(strip.LedCount(), 2);
    EXPECT_EQ(strip.AddLedForThread(1)->pos(), QPoint(36, 2));
}

TEST_F(MainWindow, TopAreaShowsOneViewAndTheSegmentTableFollowsTheSelection)
{
    window->show();
    QAction* segmentTable = window->MenuEntry("Show Segment Program Table");
    segmentTable->trigger();
    EXPECT_EQ(window->TopArea().currentWidget(), &window->MemoSegments());
    EXPECT_TRUE(segmentTable->isChecked());
    EXPECT_FALSE(window->MenuEntry("Show Graph")->isChecked());
    EXPECT_TRUE(window->MemoSegments().toPlainText().isEmpty()); // nothing selected

    window->ListViewDevices().setCurrentItem(window->ListViewDevices().RowOfPort("COMX"));
    window->ListViewDevicesClick();
    const QString table = window->MemoSegments().toPlainText();
    EXPECT_TRUE(table.startsWith(" Segment programs \n" + QString(45, u'=') + "\n")) << table.toStdString();
    EXPECT_TRUE(table.contains("COMX"));

    // Unticking "Show Segment Programs" empties the table and hides the requested flows.
    TDeviceInfo comx;
    ASSERT_TRUE(GetDeviceByPort("COMX", comx));
    const SeriesId requested = DeviceSeries::IdOf(comx.SerieSegment);
    window->MenuEntry("Show Segment Programs")->trigger();
    EXPECT_TRUE(window->MemoSegments().toPlainText().isEmpty());
    EXPECT_FALSE(window->Chart().SeriesStyle(requested).Visible);
    window->MenuEntry("Show Segment Programs")->trigger();
    EXPECT_EQ(window->MemoSegments().toPlainText(), table);
    EXPECT_TRUE(window->Chart().SeriesStyle(requested).Visible);

    window->MenuEntry("Show Data Table")->trigger();
    EXPECT_EQ(window->TopArea().currentWidget(), &window->MemoData());
    EXPECT_FALSE(segmentTable->isChecked());
}

TEST_F(MainWindow, ClearGraphEmptiesTheLinesAndLaterPointsContinueTheTimeAxis)
{
    TDeviceInfo& comx = DevicesLocal[0];
    window->SegmentSerie(comx, false);
    window->FlowSerie(comx, 5, 20, false);
    const SeriesId achieved = DeviceSeries::IdOf(DevicesLocal[0].SerieFlow);
    const SeriesId requested = DeviceSeries::IdOf(DevicesLocal[0].SerieSegment);
    ASSERT_NE(achieved, NoSeries);
    window->MenuEntry("Clear Graph && Remove Data")->trigger();
    EXPECT_TRUE(window->Chart().Points(achieved).empty());
    EXPECT_TRUE(window->Chart().Points(requested).empty());
    window->FlowSerie(DevicesLocal[0], 6, 21, false);
    ASSERT_EQ(window->Chart().Points(achieved).size(), 1u);
    EXPECT_EQ(window->Chart().Points(achieved)[0], QPointF(6, 21));
}

TEST_F(MainWindow, LongWaitsLockTheWindowAndShowProgress)
{
    window->show();
    window->LockWindow("Waiting for threads", "Cut the power in an emergency");
    EXPECT_EQ(window->windowTitle(), "Waiting for threads");
    EXPECT_FALSE(window->centralWidget()->isEnabled());
    const QLabel* notice = window->findChild<QLabel*>("LabelLockNotice");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), "Cut the power in an emergency");
    window->ShowProgress("Scanning port COM3", 2, 5);
    EXPECT_EQ(window->ProgressText().text(), "Scanning port COM3");
    EXPECT_EQ(window->ProgressBar().value(), 2);
    EXPECT_EQ(window->ProgressBar().maximum(), 5);
    EXPECT_TRUE(window->ProgressBar().isVisible());

    window->UnlockWindow();
    EXPECT_EQ(window->windowTitle(), "Tessaly 2025-06-13 — data in " + Folder());
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    EXPECT_FALSE(notice->isVisible());
    EXPECT_FALSE(window->ProgressBar().isVisible());
}

TEST_F(MainWindow, ResetDevicesSavesTheDataAndStopsTheDevices)
{
    const FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(14, 5, 9)));
    Tick();
    const QByteArray table = TableText(DataTableColumns(DevicesLocal),
                                       {DataRowStamp(ClockNow()) + DataRowCell(NoReading) + DataRowCell(NoReading)});
    window->MenuEntry("Reset Devices")->trigger();
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    EXPECT_TRUE(LogFiles().contains("2025-06-13 14_05 log ResetDevicesClick.txt")) << LogFiles().join(", ").toStdString();
    EXPECT_EQ(LogText(" log ResetDevicesClick.txt"), table);
    EXPECT_TRUE(window->MemoMain().Text().contains("All threads terminated, marking devices unconfigured"));
    EXPECT_EQ(window->ListViewDevices().topLevelItem(0)->text(1), "Unknown");
    EXPECT_TRUE(window->centralWidget()->isEnabled());
}

TEST_F(MainWindow, ClosingWithARunningDemoDeviceStopsItAndLeavesAnOnCloseLog)
{
    window->Engine().SetSleep([](int) {});
    TDeviceInfo& comx = DevicesLocal[0];
    ASSERT_TRUE(comx.StartThread());
    comx.Led = window->AddLedForThread();
    ASSERT_TRUE(ServeUntil([&] { return DevicesLocal[0].ThreadMFC->GUIIn.DeviceStatus.DataTime > 0; }, 5000));
    const QStringList header = DataTableColumns(DevicesLocal);
    Tick();
    // The demo reports a few counts of an unknown full scale: zero in the operator's unit.
    const QByteArray table =
        TableText(header, {DataRowStamp(ClockNow()) + DataRowCell(0) + DataRowCell(NoReading)});

    EXPECT_TRUE(window->close());
    EXPECT_EQ(DevicesLocal[0].ThreadMFC, nullptr);
    EXPECT_EQ(DevicesLocal[0].Led, nullptr);
    EXPECT_EQ(window->EngineLed, nullptr);
    EXPECT_EQ(AbandonedWorkersRunning(), 0);
    EXPECT_FALSE(window->TimerEngine().isActive());
    EXPECT_EQ(LogText(" log OnClose.txt"), table);
    EXPECT_TRUE(window->MemoMain().Text().contains("All threads terminated, marking devices unconfigured"));
    EXPECT_TRUE(messages.Texts().isEmpty());
}

} // namespace
