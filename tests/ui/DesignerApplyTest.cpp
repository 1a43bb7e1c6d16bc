// "Apply to device(s)" of the designer against the instrument simulators: the designer's
// flows reach the instruments as the direct control page's Apply sends them, after the
// operator confirms.
#include "OperatorWindowTest.h"
#include "SimulatedInstruments.h"

#include "devices/KnownDevices.h"
#include "ui/pages/DeliveredFlow.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/DirectControlPage.h"

#include <QSlider>

namespace {

class DesignerApply : public OperatorWindowTest {
protected:
    // The message log's lines written since Mark.
    QStringList LogSince(qsizetype mark) const
    {
        return window->MemoMain().Text().mid(mark).split(u'\n', Qt::SkipEmptyParts);
    }
    qsizetype Mark() const { return window->MemoMain().Text().size(); }

    // A known record on a simulator's port, configured through the Configure page.
    void Configure(const char* serial, const QString& port, const std::function<void()>& choose)
    {
        TDeviceInfo device;
        ASSERT_TRUE(GetKnownDevice(QString::fromLatin1(serial), device));
        device.COMPort = port;
        DevicesLocal.push_back(device);
        window->AddDeviceRow(device);
        ASSERT_TRUE(Focus(port));
        choose();
        window->Configure().ButtonApplyConfiguration->click();
    }
};

// The lines Apply writes, without their time stamps: one per device set, and the closing one.
QStringList ApplyLines(const QStringList& log)
{
    QStringList lines;
    for (const QString& line : log) {
        for (const char* start : {"Set device:", "Device:", "Changing setpoint"}) {
            if (const qsizetype at = line.indexOf(QLatin1String(start)); at >= 0) {
                lines << line.mid(at);
                break;
            }
        }
    }
    return lines;
}

TEST_F(DesignerApply, SendsTheDesignersFlowsAsDirectControlsApplyDoes)
{
    FastInstruments fast;
    const SimulatedControllerAndPump instruments;
    ASSERT_TRUE(instruments.IsOpen());
    const std::shared_ptr<ControllerSimulator>& controller = instruments.Controller;
    const std::shared_ptr<PumpSimulator>& pump = instruments.Pump;
    const QString controllerPort = instruments.ControllerHost.PortPath();
    const QString pumpPort = instruments.PumpHost.PortPath();

    Configure("142001", controllerPort, [&] { ChooseGas("N2"); });
    Configure("23011001", pumpPort, [&] {
        window->Configure().ComboBoxDeviceFluidPump->setCurrentIndex(1);
        window->Configure().EditSyringeSize->SetValue(250);
    });
    ASSERT_NE(Device(controllerPort).ThreadMFC, nullptr);
    ASSERT_NE(Device(pumpPort).ThreadPump, nullptr);
    // The demo device COMX stays unconfigured: direct control refuses it.
    ASSERT_TRUE(Focus(controllerPort));
    SelectAlso(pumpPort);
    SelectAlso("COMX");
    ASSERT_EQ(window->ListViewDevices().SelectedPorts(), QStringList({"COMX", controllerPort, pumpPort}))
        << window->ListViewDevices().SelectedPorts().join(u' ').toStdString();
    window->ListViewDevicesClick();

    // The designer's rows: the controller at 40 % of its full scale, the pump at 30 %.
    DesignerPage& designer = window->Designer();
    ASSERT_EQ(designer.Rows().size(), 3);
    designer.RowFlowBox(controllerPort)->SetValue(0.4 * designer.RowFlowBox(controllerPort)->Maximum());
    designer.RowFlowBox(pumpPort)->SetValue(0.3 * 6250);
    EXPECT_EQ(designer.RowSlider(pumpPort)->value(), 30);
    const double comxSetpoint = Device("COMX").Setpoint_gui;
    const tDeviceControlMode controllerMode = Device(controllerPort).ControlMode;
    const tDeviceControlMode pumpMode = Device(pumpPort).ControlMode;

    // Cancelled: nothing reaches a device.
    {
        QuestionCapture no(false);
        designer.BitBtnDesignerApply->click();
        ASSERT_EQ(no.Texts().size(), 1);
        EXPECT_EQ(Device(controllerPort).ControlMode, controllerMode);
        EXPECT_EQ(Device(pumpPort).ControlMode, pumpMode);
        EXPECT_NE(Device(pumpPort).Setpoint_gui, 30);
        EXPECT_TRUE(messages.Texts().isEmpty());
    }

    qsizetype mark = Mark();
    QStringList question;
    {
        QuestionCapture yes(true);
        designer.BitBtnDesignerApply->click();
        question = yes.Texts();
    }
    ASSERT_EQ(question.size(), 1);
    const QString unit = Device(controllerPort).FlowUnitUser.Name;
    EXPECT_TRUE(question[0].contains(controllerPort + " (" + Device(controllerPort).NameRole + "): 40.0 % = "))
        << question[0].toStdString();
    EXPECT_TRUE(question[0].contains(pumpPort + " (" + Device(pumpPort).NameRole + "): 30.0 % = 1875.0 "
                                     + Device(pumpPort).FlowUnitUser.Name))
        << question[0].toStdString();
    EXPECT_TRUE(question[0].contains("COMX (Virtual Demo): ") && question[0].contains("(not configured: cannot be applied)"))
        << question[0].toStdString();
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot apply to unconfigured device: Virtual Demo"});
    EXPECT_EQ(Device("COMX").Setpoint_gui, comxSetpoint);
    for (const QString& port : {controllerPort, pumpPort})
        EXPECT_EQ(Device(port).ControlMode, dcmDirect) << port.toStdString();
    EXPECT_DOUBLE_EQ(Device(pumpPort).Setpoint_gui, 30);
    const QByteArray pumpProgram = PumpPlan(Device(pumpPort), 30).Command.toLatin1();
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 25600 && pump->LastProgram() == pumpProgram; }))
        << controller->SetpointCounts() << " " << pump->LastProgram().toStdString();
    const QStringList designerLines = ApplyLines(LogSince(mark));
    EXPECT_EQ(designerLines.size(), 3) << designerLines.join(u'|').toStdString();

    // Stopped, then the same setpoints through the direct control page: the same lines and
    // the same commands.
    DirectControlPage& direct = window->DirectControl();
    direct.ButtonDirectControlStop->click();
    const int stops = pump->TerminateCount();
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 0 && pump->TerminateCount() >= stops; }));
    const int setpointCommands = controller->SetpointCommandCount();
    for (const auto& [port, percent] : {std::pair{controllerPort, 40.0}, std::pair{pumpPort, 30.0}}) {
        ASSERT_TRUE(Focus(port));
        EXPECT_DOUBLE_EQ(direct.RtDoubleEditDirectControlDesiredFlow->Value(), percent); // kept by the designer
        direct.RtDoubleEditDirectControlDesiredFlow->SetValue(percent);
    }
    SelectAlso("COMX");
    SelectAlso(controllerPort);
    messages.Clear();
    mark = Mark();
    direct.ButtonApplyFlow->click();
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot apply to unconfigured device: Virtual Demo"});
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 25600 && pump->LastProgram() == pumpProgram; }));
    EXPECT_GT(controller->SetpointCommandCount(), setpointCommands);
    EXPECT_EQ(ApplyLines(LogSince(mark)), designerLines);
    window->close();
}

} // namespace
