// The window driven through its control socket, as a test-station script drives it: the
// simulated instruments from search to reset, and requests the window refuses, each leaving
// the window and every device as they were.
#include "ControlClient.h"
#include "OperatorWindowTest.h"
#include "SimulatedInstruments.h"

#include "core/GasTable.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "instruments/PumpDispense.h"
#include "ui/control/ControlServer.h"
#include "ui/pages/MixturesPage.h"

#include <QApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

class ControlSocketTest : public OperatorWindowTest {
protected:
    void SetUp() override
    {
        OperatorWindowTest::SetUp();
        path = Folder() + QStringLiteral("/control.sock");
        ASSERT_TRUE(window->OpenControlSocket(path));
    }

    // A client whose waits run the engine tick, as the window's timer would.
    std::unique_ptr<ControlClient> Connect()
    {
        return std::make_unique<ControlClient>(path, [this](const std::function<bool()>& done, int timeoutMs) {
            return RunUntil(done, timeoutMs);
        });
    }

    QString path;
};

QStringList Column(const QJsonArray& rows, const char* key)
{
    QStringList values;
    for (const QJsonValue& row : rows)
        values << row.toObject().value(QLatin1String(key)).toVariant().toString();
    return values;
}

TEST_F(ControlSocketTest, PathIsShownInTheMessageLogAndTheStatusBar)
{
    EXPECT_TRUE(Logged("Control socket: " + path));
    const auto* shown = window->statusBar()->findChild<QLabel*>("LabelControlSocket");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "Control socket: " + path);
    EXPECT_TRUE(window->MenuEntry("Control Socket")->isChecked());

    window->MenuEntry("Control Socket")->trigger();
    EXPECT_EQ(window->Control(), nullptr);
    EXPECT_TRUE(Logged("Control socket closed"));
    EXPECT_TRUE(shown->isHidden());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(ControlSocketTest, ScriptRunsTheSimulatedInstrumentsFromSearchToReset)
{
    FastInstruments fast;
    JumpingClock clock;
    const SimulatedControllerAndPump instruments;
    ASSERT_TRUE(instruments.IsOpen());
    const std::shared_ptr<ControllerSimulator>& controller = instruments.Controller;
    const std::shared_ptr<PumpSimulator>& pump = instruments.Pump;
    const SimulatorHost& controllerHost = instruments.ControllerHost;
    const SimulatorHost& pumpHost = instruments.PumpHost;
    const QByteArray c = controllerHost.PortPath().toUtf8();
    const QByteArray p = pumpHost.PortPath().toUtf8();
    const SearchOnly search({controllerHost.PortPath(), pumpHost.PortPath()});
    const auto client = Connect();
    ASSERT_TRUE(client->Connected());

    QJsonObject reply = client->Call(R"({"id":1,"cmd":"search"})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(reply.value("id"), 1);
    const QJsonArray found = reply.value("devices").toArray();
    EXPECT_EQ(Column(found, "instrument"), QStringList({"Blendor", "Dampor"}));
    EXPECT_EQ(Column(found, "state"), QStringList({"Unknown", "Unknown"}));
    EXPECT_TRUE(Logged("remote: search"));
    EXPECT_TRUE(window->centralWidget()->isEnabled());

    // The controller on nitrogen in ml/min at 0 °C; the pump on water with a 250 µL syringe.
    reply = client->Call(R"({"id":2,"cmd":"configure","port":")" + c + R"(","gas":"N2","reference":2,"name":"Cathode"})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(reply.value("device").toObject().value("state"), "Ready");
    EXPECT_EQ(reply.value("device").toObject().value("unit"), "ml/min");
    EXPECT_EQ(RowTexts(window->ListViewDevices(), controllerHost.PortPath()), QStringList({"Ready", "Blendor", "MFC-A:N2", "Cathode"}));
    EXPECT_EQ(Device(controllerHost.PortPath()).FlowUnitUser.Temperature, 0);
    reply = client->Call(R"({"id":3,"cmd":"configure","port":")" + p + R"(","gas":"H2O","syringe":250})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(Device(pumpHost.PortPath()).MaxFlow_ulpm, 6250);
    EXPECT_TRUE(Logged("Starting pump on " + pumpHost.PortPath() + ", up to 15 s"));
    TGasItem nitrogen;
    ASSERT_TRUE(GetGas_ShortName("N2", nitrogen));
    EXPECT_TRUE(RunUntil([&] { return controller->GasNumber() == nitrogen.AlicatID; }));

    // 25 % from the start, 75 % from one minute on.
    reply = client->Call(R"({"id":4,"cmd":"program","port":")" + c + R"(","text":"0 25 Step\n1 75 Step\n3 75 Ramp"})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(Device(controllerHost.PortPath()).SegmentProgram, "0 25 Step\r\n1 75 Step\r\n3 75 Ramp");
    reply = client->Call(R"({"id":5,"cmd":"start","ports":[")" + c + R"("]})");
    EXPECT_EQ(reply.value("started").toArray(), QJsonArray({controllerHost.PortPath()}));
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 16000; }));
    clock.AdvanceMs(60 * 1000);
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 48000; }));

    // Subscribed, the script hears every data row and the readings of both instruments.
    EXPECT_EQ(client->Call(R"({"id":6,"cmd":"subscribe"})").value("subscribed"), true);
    const auto heard = [&](const char* event, const QString& port) {
        for (const QJsonObject& line : client->events)
            if (line.value("event") == QLatin1String(event) && (port.isEmpty() || line.value("port") == port))
                return true;
        return false;
    };
    const auto hear = [&](const std::function<bool()>& done) {
        return RunUntil([&] {
            clock.AdvanceMs(1000);
            while (client->Socket().canReadLine())
                client->events.push_back(client->Next());
            return done();
        });
    };
    EXPECT_TRUE(hear([&] {
        return heard("row", {}) && heard("reading", controllerHost.PortPath()) && heard("reading", pumpHost.PortPath());
    }));
    for (const QJsonObject& line : client->events) {
        if (line.value("event") != "reading")
            continue;
        if (line.value("port") == controllerHost.PortPath()) {
            EXPECT_EQ(line.value("unit"), "ml/min");
            EXPECT_EQ(line.value("requested"), 75);
            EXPECT_TRUE(line.value("flow").isDouble());
        } else {
            EXPECT_EQ(line.value("port"), pumpHost.PortPath());
            EXPECT_EQ(line.value("dosing"), 0);
            EXPECT_TRUE(line.value("command").isString());
        }
    }
    reply = client->Call(R"({"id":7,"cmd":"readings"})");
    EXPECT_EQ(Column(reply.value("readings").toArray(), "port"), QStringList({controllerHost.PortPath(), pumpHost.PortPath()}));

    // The pump at 40 % as Direct control's Apply holds it: its dosing program reaches it.
    reply = client->Call(R"({"id":8,"cmd":"setpoint","ports":[")" + p + R"("],"percent":40})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(Device(pumpHost.PortPath()).ControlMode, dcmDirect);
    EXPECT_TRUE(Logged("Set device:Prototype to flow:40 %"));
    TPumpSpeedDetails plan;
    plan.SyringeVolume_ul = 250;
    plan.DesiredDispense_ugpm = 0.4 * 6250 * 1000;
    PumpCommandForDispense(plan);
    EXPECT_TRUE(RunUntil([&] { return pump->LastProgram() == plan.Command.toLatin1(); })) << pump->LastProgram().toStdString();
    // Its next readings report the dose the pump took.
    client->events.clear();
    EXPECT_TRUE(hear([&] {
        return std::any_of(client->events.begin(), client->events.end(), [&](const QJsonObject& line) {
            return line.value("port") == pumpHost.PortPath() && line.value("dosing") == 40
                   && line.value("command") == plan.Command;
        });
    }));

    reply = client->Call(R"({"id":9,"cmd":"reset"})");
    ASSERT_EQ(reply.value("ok"), true) << reply.value("error").toString().toStdString();
    EXPECT_EQ(Column(reply.value("devices").toArray(), "state"), QStringList({"Unknown", "Unknown"}));
    EXPECT_EQ(controller->SetpointCounts(), 0);
    EXPECT_FALSE(pump->Busy());
    EXPECT_EQ(LogFiles().filter(" log ResetDevicesClick.txt").size(), 1);
    for (const char* action : {"remote: configure {", "remote: program {", "remote: start {", "remote: setpoint {\"percent\":40",
                               "remote: reset"})
        EXPECT_TRUE(Logged(action)) << action;
    EXPECT_FALSE(Logged("remote: readings"));
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
}

// What a refused request must leave alone.
struct TDeviceState {
    QString Port;
    bool Worker;
    int Mode;
    double Setpoint;
    double Typed;
    QString Program;
    int Fluid;
    double Syringe;
    QString Name;
    bool operator==(const TDeviceState&) const = default;
};

std::vector<TDeviceState> DeviceStates()
{
    std::vector<TDeviceState> states;
    for (const TDeviceInfo& d : DevicesLocal)
        states.push_back({d.COMPort, d.ThreadMFC != nullptr, int(d.ControlMode), d.Setpoint_pct, d.Setpoint_gui,
                          d.SegmentProgram, d.FluidID, d.SyringeSizeuL, d.NameRole});
    return states;
}

TEST_F(ControlSocketTest, RefusedRequestsChangeNothingAndSayWhatTheWindowWouldHaveShown)
{
    const auto client = Connect();
    // COMX configured and held at 10 %; COMY left unconfigured.
    ASSERT_EQ(client->Call(R"({"id":0,"cmd":"configure","port":"COMX","gas":"Air"})").value("ok"), true);
    ASSERT_EQ(client->Call(R"({"id":0,"cmd":"setpoint","ports":"COMX","percent":10})").value("ok"), true);
    const QString programX = Device("COMX").SegmentProgram;

    struct TCase {
        const char* Request;
        QString ErrorStart;
    };
    const TCase cases[] = {
        {R"({"id":1,"cmd":"setpoint","ports":["COM9"],"percent":50})", "Unknown port: COM9"},
        {R"({"id":1,"cmd":"setpoint","ports":["COMX","COMY"],"percent":50})", "Cannot apply to unconfigured device: Virtual Demo"},
        {R"({"id":1,"cmd":"setpoint","ports":["COMX"],"percent":101})", "Argument percent must be between 0 and 100"},
        {R"({"id":1,"cmd":"stop","ports":["COMX","COM9"]})", "Unknown port: COM9"},
        {R"({"id":1,"cmd":"configure","port":"COMY"})", "No fluid selected for MFC"},
        {R"({"id":1,"cmd":"configure","port":"COMY","gas":"Unobtainium"})", "Unknown gas: Unobtainium"},
        {R"({"id":1,"cmd":"configure","port":"COMY","gas":99999})", "Unknown gas: 99999"},
        {R"({"id":1,"cmd":"configure","port":"COMY","gas":"Air","color":"no colour"})", "Unknown colour: no colour"},
        {R"({"id":1,"cmd":"configure","port":"COMY","gas":"Air","reference":99})", "Unknown reference conditions: 99"},
        {R"({"id":1,"cmd":"configure","port":"COMX","syringe":250})", "Argument syringe is for a pump only"},
        {R"({"id":1,"cmd":"program","port":"COMX","text":"0 25 Step\n1 abc Step"})", ""},
        {R"({"id":1,"cmd":"program","port":"COM9","text":"0 25 Step"})", "Unknown port: COM9"},
        {R"({"id":1,"cmd":"mixture","recipe":"COM9 50"})", ""},
        {R"({"id":1,"cmd":"add","recipe":"COMX 50","time":0.5})", ""},
        {R"({"id":1,"cmd":"search","unexpected":1})", "Unknown argument for search: unexpected"},
    };
    for (const TCase& test : cases) {
        const std::vector<TDeviceState> before = DeviceStates();
        const QJsonObject reply = client->Call(test.Request);
        EXPECT_EQ(reply.value("ok"), false) << test.Request;
        const QString error = reply.value("error").toString();
        EXPECT_FALSE(error.isEmpty()) << test.Request;
        EXPECT_TRUE(error.startsWith(test.ErrorStart)) << test.Request << " -> " << error.toStdString();
        EXPECT_TRUE(DeviceStates() == before) << test.Request;
        EXPECT_NE(Device("COMX").ThreadMFC, nullptr);
        EXPECT_EQ(Device("COMY").ThreadMFC, nullptr);
    }
    EXPECT_EQ(Device("COMX").SegmentProgram, programX);
    EXPECT_EQ(Device("COMX").Setpoint_pct, 10);
    // A box the window would have shown is in the message log, and no box was shown.
    EXPECT_TRUE(Logged("No fluid selected for MFC"));
    EXPECT_TRUE(Logged("Invalid segment program"));
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();

    // A box open for the operator holds every script off until it is answered.
    {
        QMessageBox box(QMessageBox::NoIcon, "Tessaly", "Something for the operator", QMessageBox::Ok, window.get());
        box.setModal(true);
        box.show();
        ASSERT_TRUE(ServeUntil([] { return QApplication::activeModalWidget() != nullptr; }, 2000));
        const QJsonObject reply = client->Call(R"({"id":2,"cmd":"stop","ports":"COMX"})");
        EXPECT_EQ(reply.value("error"), "Waiting for the operator: Something for the operator");
        EXPECT_EQ(Device("COMX").ControlMode, dcmDirect);
    }

    // A valid recipe is evaluated on the Mixtures page, under its name.
    EXPECT_EQ(client->Call(R"({"id":3,"cmd":"mixture","recipe":"COMX 50","name":"Half air"})").value("ok"), true);
    EXPECT_TRUE(window->Mixtures().MemoMixResult->toPlainText().contains("Half air"));
}

TEST_F(ControlSocketTest, AClientThatGoesMidCommandLeavesTheWindowAndDevicesWhole)
{
    {
        const auto client = Connect();
        ASSERT_EQ(client->Call(R"({"id":0,"cmd":"configure","port":"COMX","gas":"N2"})").value("ok"), true);
        // The reset runs the window's events while the workers stop: the client goes meanwhile.
        client->Send(R"({"id":1,"cmd":"reset"})" "\n");
        client->Socket().flush();
        ASSERT_TRUE(ServeUntil([&] { return !window->centralWidget()->isEnabled() || Device("COMX").ThreadMFC == nullptr; }, 5000));
        client->Close();
    }
    EXPECT_TRUE(ServeUntil([&] { return Device("COMX").ThreadMFC == nullptr && window->centralWidget()->isEnabled(); }, 10000));
    EXPECT_EQ(RowTexts(window->ListViewDevices(), "COMX")[0], "Unknown");
    EXPECT_TRUE(ServeUntil([&] { return window->Control()->ConnectionCount() == 0; }, 2000));

    // The window and the socket serve on.
    const auto next = Connect();
    const QJsonObject reply = next->Call(R"({"id":2,"cmd":"devices"})");
    EXPECT_EQ(Column(reply.value("devices").toArray(), "port"), QStringList({"COMX", "COMY"}));
    EXPECT_EQ(Column(reply.value("devices").toArray(), "state"), QStringList({"Unknown", "Unknown"}));
}

} // namespace
