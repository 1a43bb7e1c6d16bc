// The Configure, Design segments and Direct control pages as wired into the window: their
// starting state, what their controls put into the devices, and how bad input is met.
#include "OperatorWindowTest.h"
#include "SimulatedInstruments.h"
#include "WindowDevices.h"

#include "core/TextTables.h"
#include "devices/KnownDevices.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"
#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"
#include "ui/LedStrip.h"
#include "ui/pages/DeviceConfiguration.h"
#include "ui/pages/ReferenceConditions.h"
#include "ui/pages/DirectControlPage.h"
#include "ui/widgets/ColorPicker.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

using DevicePages = OperatorWindowTest;

// Types the text into the box as the operator would and ends the editing with Return.
void Type(QLineEdit& box, const QString& text)
{
    box.selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&box, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&box, &enter);
}

TEST_F(DevicePages, StartWithTheirCaptionsLimitsAndHiddenParts)
{
    const ConfigurePage& configure = window->Configure();
    const SegmentEditorPage& editor = window->SegmentEditor();
    const DirectControlPage& direct = window->DirectControl();
    const struct {
        const QWidget* widget;
        QString text;
    } texts[] = {
        {configure.EditDeviceType, "Device type"},
        {configure.EditDeviceName, "e.g. Cathode side"},
        {configure.LabelDeviceColor, "Color code"},
        {configure.EditFlowUnitName, "g/min"},
        {configure.LabelUnitTemp, "Irrelevant when unit is g"},
        {configure.LabelPSI, "Irrelevant when unit is g"},
        {configure.EditPumpUnitName, QStringLiteral("\u00B5l/min")},
        {configure.ButtonApplyConfiguration, "Apply"},
        {editor.LabelSelectedDeviceNameRole, "Name or role"},
        {editor.LabelSpecifiedFlowUnit, "Flow unit"},
        {editor.LabelSegmentStartTime, "Start time, m"},
        {editor.LabelSegmentStartTimeTimeConversions, "Time conversions"},
        {editor.LabelResultingFlowinSpecifiedUnit, "Resulting flow in specified unit"},
        {editor.ButtonSegmentType, "Step"},
        {editor.RadioButtonKeepLastFlow, "Keep last flow indefinitely"},
        {editor.ButtonSegmentApply, "Add / Apply Segment"},
        {editor.ButtonSegmentDelete, "Delete segment"},
        {editor.ButtonSegmentProgramStart, "Start segment program(s)"},
        {editor.ButtonSegmentProgramStop, "Stop segment program(s)"},
        {direct.LabelDirectControlMaxFlowUnit, "Flow unit"},
        {direct.LabelDirectControlResultingFlow, "Resulting flow in specified unit"},
        {direct.ButtonApplyFlow, "Apply"},
        {direct.ButtonDirectControlStop, "Stop"},
    };
    for (const auto& t : texts) {
        QString shown;
        if (const auto* line = qobject_cast<const QLineEdit*>(t.widget))
            shown = line->text();
        else if (const auto* label = qobject_cast<const QLabel*>(t.widget))
            shown = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(t.widget))
            shown = button->text();
        EXPECT_EQ(shown, t.text) << t.widget->objectName().toStdString();
    }

    const struct {
        const NumberBox* box;
        double minimum;
        double maximum;
        double value;
    } boxes[] = {
        {configure.EditFlowUnitTemperatureC, -273.15, 900000, 20},
        {configure.EditFluidTemperatureC, -273.15, 2000, -273.15},
        {configure.EditSyringeSize, 12.5, 12500, 12500},
        {editor.RtDoubleEditSegmentFlow, 0, 100, 0},
        {direct.RtDoubleEditDirectControlDesiredFlow, 0, 100, 0},
    };
    for (const auto& b : boxes) {
        EXPECT_EQ(b.box->Minimum(), b.minimum) << b.box->objectName().toStdString();
        EXPECT_EQ(b.box->Maximum(), b.maximum) << b.box->objectName().toStdString();
        EXPECT_EQ(b.box->Value(), b.value) << b.box->objectName().toStdString();
    }
    EXPECT_EQ(configure.EditFlowUnitPressureBar->Value(), 1.01325);
    EXPECT_EQ(configure.RtColorPickComboDeviceColor->Color(), QColor(0, 255, 255, 255));
    EXPECT_TRUE(configure.EditDeviceType->isReadOnly());
    EXPECT_TRUE(configure.EditPumpUnitName->isReadOnly());
    EXPECT_TRUE(editor.RtDoubleEditSegmentMaxFlow->isReadOnly());
    EXPECT_TRUE(direct.RtDoubleEditDirectControlMaxFlow->isReadOnly());
    for (const QWidget* hidden : {static_cast<const QWidget*>(configure.EditFlowUnitTemperatureC),
                                  static_cast<const QWidget*>(configure.LabelUnitTemp),
                                  static_cast<const QWidget*>(configure.EditFlowUnitPressureBar),
                                  static_cast<const QWidget*>(configure.LabelPSI),
                                  static_cast<const QWidget*>(configure.GroupBoxPumpDetails),
                                  static_cast<const QWidget*>(configure.ComboBoxDeviceFluidPump)})
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_FALSE(editor.RadioButtonKeepLastFlow->isChecked());
    EXPECT_EQ(configure.ComboBoxFlowUnitPredefined->currentIndex(), -1);
    QStringList menu;
    for (const QAction* entry : editor.PopupMenuSegmentProgram->actions())
        menu << entry->text();
    EXPECT_EQ(menu, QStringList({"Load Segment Program", "Save Segment Program As"}));
}

TEST_F(DevicePages, GramsChosenForOneDeviceDoNotFollowTheNextOneStored)
{
    ConfigurePage& configure = window->Configure();
    ASSERT_TRUE(Focus("COMX"));
    configure.EditFlowUnitTemperatureC->SetValue(7);
    configure.ComboBoxFlowUnitPredefined->setCurrentIndex(1); // g, grams
    EXPECT_EQ(configure.EditFlowUnitName->text(), "g/min");
    EXPECT_TRUE(configure.EditFlowUnitTemperatureC->isHidden());
    EXPECT_TRUE(configure.LabelPSI->isHidden());
    EXPECT_EQ(configure.EditFlowUnitTemperatureC->Value(), 7); // untouched, only hidden
    ChooseGas("CO2");
    // What Apply stores, without starting a worker.
    const auto store = [this](const QString& port) {
        TDeviceInfo device = Device(port);
        window->DeviceDetailsUI(tdCODE, device);
    };
    store("COMX");
    EXPECT_EQ(Device("COMX").FlowUnitUser.GasFlowType, gfuGrams);
    EXPECT_EQ(Device("COMX").FlowUnitUser.Name, "g/min");

    // The next device shows its own volumetric unit, and that is what is stored for it.
    ASSERT_TRUE(Focus("COMY"));
    EXPECT_EQ(configure.EditFlowUnitName->text(), "ml/min");
    EXPECT_FALSE(configure.EditFlowUnitTemperatureC->isHidden());
    EXPECT_EQ(configure.LabelUnitTemp->text(), QStringLiteral("77\u00BAF"));
    ChooseGas("Ar");
    store("COMY");
    EXPECT_EQ(Device("COMY").FlowUnitUser.GasFlowType, gfuVolumetric);

    // Back on the first, the list says grams again.
    ASSERT_TRUE(Focus("COMX"));
    EXPECT_EQ(configure.ComboBoxFlowUnitPredefined->currentIndex(), 1);
    EXPECT_TRUE(configure.EditFlowUnitTemperatureC->isHidden());
    EXPECT_EQ(configure.ComboBoxDeviceFluid->currentText().left(9).trimmed(), "CO2");
}

TEST_F(DevicePages, PickedColourShowsItsCodeAndColoursTheDeviceAndItsLed)
{
    ConfigurePage& configure = window->Configure();
    ASSERT_TRUE(Focus("COMX"));
    EXPECT_EQ(configure.LabelDeviceColor->text(), "08388736"); // purple: 128 × 65536 + 128
    configure.RtColorPickComboDeviceColor->SetColor(QColor(10, 20, 30, 128));
    EXPECT_EQ(configure.LabelDeviceColor->text(), "01971210");
    ChooseGas("N2");
    configure.ButtonApplyConfiguration->click();

    const TDeviceInfo device = Device("COMX");
    EXPECT_EQ(device.Color, qRgba(10, 20, 30, 128));
    const auto* led = dynamic_cast<DeviceLed*>(device.Led);
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(led->OffColor(), QColor(10, 20, 30)); // opaque
    EXPECT_EQ(led->width(), 16 * window->GetDPIScaling());
    EXPECT_EQ(window->Leds().LedCount(), 2);
    window->close();
}

TEST_F(DevicePages, ApplyWithoutAGasOrToAnUnconfiguredDeviceChangesNothing)
{
    ASSERT_TRUE(Focus("COMX"));
    window->Configure().ComboBoxDeviceFluid->setCurrentIndex(0); // the header
    window->Configure().EditDeviceName->setText("Renamed");
    window->Configure().ButtonApplyConfiguration->click();
    EXPECT_EQ(messages.Texts(), QStringList{"No fluid selected for MFC"});
    EXPECT_EQ(Device("COMX").ThreadMFC, nullptr);
    EXPECT_EQ(Device("COMX").NameRole, "Virtual Demo");
    EXPECT_EQ(window->Leds().LedCount(), 1);
    EXPECT_EQ(RowTexts(window->ListViewDevices(), "COMX")[0], "Unknown");

    messages.Clear();
    window->DirectControl().ButtonApplyFlow->click();
    window->SegmentEditor().ButtonSegmentProgramStart->click();
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot apply to unconfigured device: Virtual Demo"});
    EXPECT_EQ(Device("COMX").ControlMode, dcmDirect);
    EXPECT_EQ(Device("COMX").FlowStartTime, 0);
}

TEST_F(DevicePages, APumpNeedsAFluidAndOneOfItsSyringeSizes)
{
    FastInstruments fast;
    PumpSimulatorOptions options;
    options.TimeScale = 0.01;
    SimulatorHost host(std::make_shared<PumpSimulator>(options));
    ASSERT_TRUE(host.IsOpen());
    TDeviceInfo pump;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    pump.COMPort = host.PortPath();
    DevicesLocal.push_back(pump);
    window->AddDeviceRow(pump);
    ConfigurePage& configure = window->Configure();
    ASSERT_TRUE(Focus(pump.COMPort));
    EXPECT_EQ(configure.EditSyringeSize->Value(), pump.SyringeSizeuL);
    EXPECT_EQ(configure.ComboBoxDeviceFluidPump->currentIndex(), 0);
    EXPECT_EQ(window->SegmentEditor().RtDoubleEditSegmentMaxFlow->Value(), pump.MaxFlow_ulpm);
    EXPECT_EQ(window->SegmentEditor().LabelSpecifiedFlowUnit->text(), QStringLiteral("\u00B5l/min"));
    // Showing the pump brings its resulting flows up to date but plans nothing: its dose
    // commands (0 % on Direct control: "TR") are logged only when a setpoint changes.
    const auto stopPlansLogged = [this] {
        return window->MemoMain().Text().split(QRegularExpression("[\r\n]+")).filter(QRegularExpression(" TR$")).size();
    };
    EXPECT_TRUE(window->DirectControl().LabelDirectControlResultingFlow->text().startsWith("Desired/Achievable || 0 / "));
    EXPECT_EQ(stopPlansLogged(), 0);
    window->ListViewDevicesClick(); // a second click on the row
    EXPECT_EQ(stopPlansLogged(), 0);
    window->SegmentEditor().RtDoubleEditSegmentFlow->SetValue(10);
    EXPECT_EQ(stopPlansLogged(), 1);

    configure.ButtonApplyConfiguration->click();
    EXPECT_EQ(messages.Texts(), QStringList{"No fluid selected for Pump"});
    EXPECT_EQ(Device(pump.COMPort).ThreadPump, nullptr);

    messages.Clear();
    configure.ComboBoxDeviceFluidPump->setCurrentIndex(1);
    configure.EditSyringeSize->SetValue(30);
    configure.EditDeviceName->setText("Humidifier");
    configure.ButtonApplyConfiguration->click();
    EXPECT_EQ(messages.Texts(), QStringList{"Invalid syring volume, value ignored"});
    const TDeviceInfo applied = Device(pump.COMPort);
    EXPECT_EQ(applied.SyringeSizeuL, pump.SyringeSizeuL);
    EXPECT_EQ(applied.MaxFlow_ulpm, pump.MaxFlow_ulpm);
    EXPECT_EQ(applied.NameRole, "Humidifier");
    EXPECT_EQ(applied.FluidID, 1001);
    EXPECT_NE(applied.ThreadPump, nullptr);
    EXPECT_TRUE(Logged("Selected G(fluid)ID:1001"));
    window->close();
}

TEST_F(DevicePages, SegmentTimesAreEnteredInTheShownUnitAndStoredInMinutes)
{
    window->SetTimeUnit("HOUR");
    ASSERT_TRUE(Focus("COMX"));
    DeleteAllSegments();
    EXPECT_TRUE(Device("COMX").SegmentProgram.isEmpty());
    SegmentEditorPage& editor = window->SegmentEditor();
    editor.RadioButtonKeepLastFlow->setChecked(true);
    editor.EditNote->setText("warm up");
    EnterSegment(1.5, 30, "Ramp");
    EnterSegment(0.5, 10, "Step");
    editor.EditNote->clear();
    EnterSegment(1.5, 40, "Step"); // same time: replaces the row
    EXPECT_EQ(Device("COMX").SegmentProgram, "30 10 Step warm_up\r\n90 40 Step");
    EXPECT_EQ(editor.LabelSegmentStartTimeTimeConversions->text(), TimeText(0, 90));
    // Drawn in minutes, kept at the last flow a little beyond.
    const std::vector<QPointF>& line = window->Chart().Points(DeviceSeries::IdOf(Device("COMX").SerieSegment));
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), QPointF(90.9, 40));

    // Choosing the first row shows it in hours, note with its blank.
    editor.ListViewSegmentProgram->setCurrentItem(editor.ListViewSegmentProgram->topLevelItem(0));
    EXPECT_EQ(editor.RtDoubleEditSegmentTime->Value(), 0.5);
    EXPECT_EQ(editor.RtDoubleEditSegmentFlow->Value(), 10);
    EXPECT_EQ(editor.ButtonSegmentType->text(), "Step");
    EXPECT_EQ(editor.EditNote->text(), "warm up");
    editor.ButtonSegmentDelete->click();
    EXPECT_EQ(Device("COMX").SegmentProgram, "90 40 Step");
    EXPECT_EQ(editor.ListViewSegmentProgram->topLevelItemCount(), 1);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

// Start and Stop show each device they start or stop; the pages then show the focused device
// again (here the first selected, not the last), and the next edit on any page goes into the
// focused device's own record.
TEST_F(DevicePages, AfterStartOrStopOfSeveralDevicesThePagesEditTheFocusedDevice)
{
    const QString x = "COMX";
    const QString y = "COMY";
    ConfigurePage& configure = window->Configure();
    for (const QString& port : {x, y}) {
        ASSERT_TRUE(Focus(port));
        configure.EditDeviceName->setText(port == x ? "Anode" : "Cathode");
        ChooseGas(port == x ? "N2" : "Air");
        configure.ButtonApplyConfiguration->click();
        ASSERT_NE(Device(port).ThreadMFC, nullptr);
    }
    DevicesLocal[std::size_t(IndexOfDevicePort(x))].SegmentProgram = "0 10 Step\r\n5 20 Step";
    const QString programY = "0 90 Ramp\r\n8 50 Step";
    DevicesLocal[std::size_t(IndexOfDevicePort(y))].SegmentProgram = programY;
    const TDeviceInfo configuredX = Device(x);

    ASSERT_TRUE(Focus(x));
    SelectAlso(y);
    ASSERT_EQ(window->ListViewDevices().FocusedPort(), x);
    SegmentEditorPage& editor = window->SegmentEditor();
    const auto shownRows = [&] {
        QStringList rows;
        for (int i = 0; i < editor.ListViewSegmentProgram->topLevelItemCount(); ++i)
            rows << editor.ListViewSegmentProgram->topLevelItem(i)->text(0);
        return rows;
    };
    for (QPushButton* button : {editor.ButtonSegmentProgramStart, editor.ButtonSegmentProgramStop}) {
        SCOPED_TRACE(button->text().toStdString());
        button->click();
        EXPECT_TRUE(editor.LabelSelectedDeviceNameRole->text().startsWith("Anode "))
            << editor.LabelSelectedDeviceNameRole->text().toStdString();
        EXPECT_EQ(configure.EditDeviceName->text(), "Anode");
        EXPECT_EQ(shownRows(), QStringList({"0", "5"}));
    }
    EXPECT_EQ(RowTexts(window->ListViewDevices(), y)[0], "Ready"); // both were stopped

    EnterSegment(7, 30, "Step");
    EXPECT_EQ(Device(x).SegmentProgram, "0 10 Step\r\n5 20 Step\r\n7 30 Step");
    editor.ListViewSegmentProgram->setCurrentItem(editor.ListViewSegmentProgram->topLevelItem(0));
    editor.ButtonSegmentDelete->click();
    EXPECT_EQ(Device(x).SegmentProgram, "5 20 Step\r\n7 30 Step");
    EXPECT_EQ(Device(y).SegmentProgram, programY);

    // The Configure page's Apply stores what the page shows: the focused device's own settings.
    editor.ButtonSegmentProgramStart->click();
    configure.ButtonApplyConfiguration->click();
    EXPECT_EQ(Device(x).NameRole, "Anode");
    EXPECT_EQ(Device(x).FluidID, configuredX.FluidID);
    EXPECT_EQ(Device(y).NameRole, "Cathode");
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
    window->close();
}

TEST_F(DevicePages, WithoutAFocusedDeviceTheEditorSaysSoAndAsksForNoFile)
{
    SegmentEditorPage& editor = window->SegmentEditor();
    int dialogs = 0;
    editor.SetFileDialog([&](const SegmentEditorPage::TFileRequest&) {
        ++dialogs;
        return QString();
    });
    EnterSegment(2, 20, "Step");
    EXPECT_EQ(messages.Texts(), QStringList{"Could not get assigned device."});
    ASSERT_EQ(editor.ListViewSegmentProgram->topLevelItemCount(), 1); // the row stays
    editor.ListViewSegmentProgram->setCurrentItem(editor.ListViewSegmentProgram->topLevelItem(0));
    editor.ButtonSegmentDelete->click();
    EXPECT_EQ(messages.Texts(), QStringList({"Could not get assigned device.", "Error"}));
    editor.LoadSegmentProgram2->trigger();
    editor.SaveSegmentProgramAs1->trigger();
    EXPECT_EQ(dialogs, 0);
}

TEST_F(DevicePages, ProgramFilesThroughTheContextMenu)
{
    FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(14, 5, 30)));
    // The demo controller on a port named like Windows' and on one named by its device path.
    TDeviceInfo onPath = Device("COMX");
    onPath.COMPort = "/dev/ttyUSB0";
    onPath.SerieSegment = nullptr;
    onPath.SerieFlow = nullptr;
    AddToWindow(*window, onPath);
    const struct {
        QString port;
        QString proposedName; // a device path's slashes would make folders of the name
        QString stem;         // of this case's files
    } ports[] = {
        {"COMX", "2025-06-13 14-05 COMX MFC.txt", "COMX"},
        {"/dev/ttyUSB0", "2025-06-13 14-05 dev_ttyUSB0 MFC.txt", "ttyUSB0"},
    };
    for (const auto& c : ports) {
        SCOPED_TRACE(c.port.toStdString());
        ASSERT_TRUE(Focus(c.port));
        SegmentEditorPage& editor = window->SegmentEditor();
        const QString program = Device(c.port).SegmentProgram;
        QList<SegmentEditorPage::TFileRequest> requests;
        QString answer;
        editor.SetFileDialog([&](const SegmentEditorPage::TFileRequest& request) {
            requests << request;
            return answer;
        });
        const auto path = [&](const char* name) { return Folder() + u'/' + c.stem + u' ' + QString::fromLatin1(name); };

        // Saved under a name of the operator's choice, ".txt" added once.
        answer = path("saved");
        editor.SaveSegmentProgramAs1->trigger();
        ASSERT_EQ(requests.size(), 1);
        EXPECT_TRUE(requests[0].Save);
        EXPECT_EQ(requests[0].ProposedName, c.proposedName);
        EXPECT_EQ(requests[0].Filter, "Text files (*.txt)");
        EXPECT_EQ(requests[0].Folder, DataFolders::SegmentProgramsFolder());
        EXPECT_TRUE(requests[0].Folder.endsWith("/Segment Programs"));
        QFile saved(path("saved.txt"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLatin1(saved.readAll()), program + "\r\n");

        const auto write = [&](const char* name, const QByteArray& content) {
            QFile file(path(name));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
            return file.fileName();
        };
        const auto rowsNow = [&] {
            QStringList rows;
            for (int i = 0; i < editor.ListViewSegmentProgram->topLevelItemCount(); ++i)
                rows << editor.ListViewSegmentProgram->topLevelItem(i)->text(0);
            return rows;
        };
        const QStringList shownRows = rowsNow();

        // Cancelled, unreadable or invalid: the device keeps its program and the table its rows.
        const struct {
            QString file;
            QStringList told; // the message boxes
            bool logged;      // "Invalid segment program"
        } refused[] = {
            {QString(), {}, false},
            {path("missing.txt"), {"Cannot open file \"" + path("missing.txt") + "\". No such file or directory"}, false},
            {write("invalid.txt", "0 10 Step\r\n5 150 Step\r\n"), {"Setpoint out of bounds:150"}, true},
            {write("words.txt", "soon some flow\r\n"), {"Invalid S/R"}, true},
            {write("short.txt", "0 10\r\n"), {"Invalid element count"}, true},
        };
        for (const auto& r : refused) {
            SCOPED_TRACE(r.file.toStdString());
            messages.Clear();
            const auto refusals = [&] { return window->MemoMain().Text().count("Invalid segment program"); };
            const qsizetype refusalsBefore = refusals();
            answer = r.file;
            editor.LoadSegmentProgram2->trigger();
            EXPECT_EQ(messages.Texts(), r.told);
            EXPECT_EQ(refusals() - refusalsBefore, r.logged ? 1 : 0);
            EXPECT_EQ(Device(c.port).SegmentProgram, program);
            EXPECT_EQ(rowsNow(), shownRows);
        }
        EXPECT_FALSE(requests.last().Save);
        EXPECT_EQ(requests.last().Folder, DataFolders::SegmentProgramsFolder());

        // A valid file becomes the program, the table and the line on the chart.
        messages.Clear();
        answer = write("valid.txt", "0 10 Step\n2.5 60 Ramp   \n");
        editor.LoadSegmentProgram2->trigger();
        EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
        EXPECT_EQ(Device(c.port).SegmentProgram, "0 10 Step\r\n2.5 60 Ramp");
        EXPECT_EQ(rowsNow(), QStringList({"0", "2.5"}));
        EXPECT_EQ(window->Chart().Points(DeviceSeries::IdOf(Device(c.port).SerieSegment)).back(), QPointF(2.525, 60));
    }
}

TEST_F(DevicePages, TypedSetpointIsKeptWithinItsLimitsWithTheFocusedDevice)
{
    ASSERT_TRUE(Focus("COMY"));
    NumberBox& setpoint = *window->DirectControl().RtDoubleEditDirectControlDesiredFlow;
    Type(setpoint, "150");
    EXPECT_EQ(setpoint.Value(), 100);
    EXPECT_EQ(Device("COMY").Setpoint_gui, 100);
    Type(setpoint, "-5");
    EXPECT_EQ(Device("COMY").Setpoint_gui, 0);
    Type(setpoint, "12.5");
    EXPECT_EQ(Device("COMY").Setpoint_gui, 12.5);
    // The full scale of the demo device (500 ml/min at 25 °C) and 12.5 % of it.
    EXPECT_EQ(window->DirectControl().RtDoubleEditDirectControlMaxFlow->Value(), 500);
    EXPECT_EQ(window->DirectControl().LabelDirectControlResultingFlow->text().simplified(), "62.5 ml/min");
    EXPECT_EQ(Device("COMX").Setpoint_gui, 0);
}

TEST_F(DevicePages, DeviceDetailsIntoTheRecordStoresTheConfigurePage)
{
    ASSERT_TRUE(Focus("COMX"));
    ConfigurePage& configure = window->Configure();
    configure.EditDeviceName->setText("Anode side");
    ChooseGas("He");
    configure.ComboBoxFlowUnitPredefined->setCurrentIndex(3); // 20 °C, 1.01325 bar
    window->DirectControl().ShowSetpoint(33);
    TDeviceInfo device = Device("COMX");
    window->DeviceDetailsUI(tdCODE, device);
    const TDeviceInfo stored = Device("COMX");
    EXPECT_EQ(stored.NameRole, "Anode side");
    TGasItem helium;
    ASSERT_TRUE(GetGas_ShortName("He", helium));
    EXPECT_EQ(stored.FluidID, helium.AlicatID);
    EXPECT_EQ(stored.FlowUnitUser.Temperature, 20);
    EXPECT_EQ(stored.FlowUnitUser.Name, "ml/min");
    EXPECT_EQ(stored.Setpoint_gui, 33);
    EXPECT_EQ(stored.ThreadMFC, nullptr); // only Apply starts the worker
}

// What a script's configuration starts from must be what Apply would take from the page
// showing the device, or a remote Apply would change what the operator's would not.
TEST_F(DevicePages, ConfigureValuesOfADeviceAreWhatThePageShowingItHolds)
{
    TGasItem nitrogen;
    ASSERT_TRUE(GetGas_ShortName("N2", nitrogen));
    TDeviceInfo grams = Device("COMX");
    grams.FluidID = nitrogen.AlicatID;
    grams.FlowUnitUser.GasFlowType = gfuGrams;
    grams.FlowUnitUser.Name = "g/min";
    grams.Setpoint_gui = 35;
    TDeviceInfo cold = Device("COMY");
    cold.FluidID = nitrogen.AlicatID;
    cold.FlowUnitUser.Temperature = 0;
    cold.FlowUnitUser.Pressure_BarA = 1;
    cold.NameRole = "Cathode";
    cold.Color = qRgb(10, 20, 30);
    TDeviceInfo unconfigured = Device("COMX");
    unconfigured.FluidID = -1;
    TDeviceInfo pump;
    pump.COMPort = "COM5";
    pump.DevType = dtPump;
    pump.NameRole = "Humidifier";
    pump.FluidID = 1001;
    pump.SyringeSizeuL = 250;
    pump.FluidTemperatureC = 60;
    TDeviceInfo newPump = pump;
    newPump.FluidID = 0;
    newPump.SyringeSizeuL = 0; // as a found pump starts
    for (const TDeviceInfo& device : {grams, cold, unconfigured, pump, newPump}) {
        window->ShowDeviceDetails(device);
        const TConfigureValues page = window->ConfigureValues();
        const TConfigureValues values = ConfigureValuesOf(device);
        const std::string which = device.COMPort.toStdString() + " " + device.NameRole.toStdString();
        EXPECT_EQ(values.Name, page.Name) << which;
        EXPECT_EQ(values.Color, page.Color) << which;
        EXPECT_EQ(values.DirectSetpoint, page.DirectSetpoint) << which;
        if (device.DevType == dtPump) {
            EXPECT_EQ(values.PumpFluidID, page.PumpFluidID) << which;
            EXPECT_EQ(values.FluidTemperatureC, page.FluidTemperatureC) << which;
            EXPECT_EQ(values.SyringeSize_uL, page.SyringeSize_uL) << which;
        } else {
            EXPECT_EQ(values.GasID, page.GasID) << which;
            EXPECT_EQ(values.UnitName, page.UnitName) << which;
            EXPECT_EQ(values.Temperature, page.Temperature) << which;
            EXPECT_EQ(values.Pressure_BarA, page.Pressure_BarA) << which;
            EXPECT_EQ(values.PredefinedLine == ReferenceConditionGramsLine, page.PredefinedLine == ReferenceConditionGramsLine) << which;
        }
    }
}

} // namespace
