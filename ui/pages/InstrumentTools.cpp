#include "ui/pages/InstrumentTools.h"

#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"

#include <algorithm>
#include <cmath>

namespace {

// The controller's initialisation sequence is seven answered exchanges.
constexpr int InitializeExchanges = 7;

// Keeps the window locked for the whole action, also when it ends early.
class WindowLock {
public:
    explicit WindowLock(TInstrumentToolsWindow& window) : fWindow(window) { fWindow.LockWindow(); }
    ~WindowLock() { fWindow.UnlockWindow(); }
    WindowLock(const WindowLock&) = delete;
    WindowLock& operator=(const WindowLock&) = delete;

private:
    TInstrumentToolsWindow& fWindow;
};

QString WholeSeconds(double seconds) { return QString::number(std::ceil(seconds), 'f', 0); }

// One action on one port, telling the message log what it waits for.
class ToolRun {
public:
    ToolRun(TInstrumentToolsWindow& window, QString what, QString port)
        : fWindow(window), fPrefix(std::move(what) + u' ' + std::move(port) + QStringLiteral(": "))
    {
    }

    void Working(double upTo_s) const
    {
        fWindow.Progress(fPrefix + QStringLiteral("working, may take up to ") + WholeSeconds(upTo_s) + QStringLiteral(" s"));
    }
    void Note(const QString& text) const { fWindow.Progress(fPrefix + text); }

    // Waits for the pump to be ready; a wait that runs out ends the action with a log line.
    bool WaitUntilFree(TPSD4& pump, double timeOut_s) const
    {
        Working(timeOut_s);
        if (pump.WaitUntilFree(timeOut_s))
            return true;
        Note(QStringLiteral("the pump was not ready within ") + WholeSeconds(timeOut_s) + QStringLiteral(" s"));
        return false;
    }

private:
    TInstrumentToolsWindow& fWindow;
    QString fPrefix;
};

// The checks both pump tools make; false, after telling the operator, when the device is
// not a pump or its worker thread owns it.
bool PumpToolAllowed(const std::optional<TDeviceInfo>& device, TInstrumentToolsWindow& window)
{
    if (!device)
        return false;
    if (device->DevType != dtPump) {
        window.ShowModalMessage(QStringLiteral("No pump selected"));
        return false;
    }
    if (device->ThreadPump) {
        window.ShowModalMessage(QStringLiteral("Cannot perform on already configured and running pump"));
        return false;
    }
    return true;
}

// Connects, initialises and waits until the pump is ready. A pump that does not answer the
// identification cannot be sent anything by the driver, so the action ends at once instead
// of sitting out every wait.
bool PreparePump(TPSD4& pump, const QString& port, double timeOut_s, const ToolRun& run)
{
    if (!pump.Connect(port)) {
        run.Note(QStringLiteral("the pump does not answer"));
        return false;
    }
    QString feedback;
    pump.Initialize(QStringLiteral("ZN1R"), feedback);
    return run.WaitUntilFree(pump, timeOut_s);
}

// Sends a program, waiting for the pump's answer, and waits until the pump has run it.
bool RunPumpProgram(TPSD4& pump, const QString& command, double timeOut_s, const ToolRun& run)
{
    TSerialResponse response;
    pump.SendCommand(command, response, true);
    return run.WaitUntilFree(pump, timeOut_s);
}

} // namespace

QString PrimePumpCommand(int Loops)
{
    return QStringLiteral("V3000gIA24000OA0G")
           + QString::number(std::clamp(Loops, PrimePumpLoopsMinimum, PrimePumpLoopsMaximum)) + u'R';
}

void InitializeDeviceTool(const std::optional<TDeviceInfo>& Device, TInstrumentToolsWindow& Window)
{
    if (!Device)
        return;
    if (Device->ThreadMFC || Device->ThreadPump) {
        Window.ShowModalMessage(QStringLiteral("Device thread is running, cannot proceed. Initialize can only be "
                                               "performed before Configuration is first applied"));
        return;
    }
    WindowLock lock(Window);
    switch (Device->DevType) {
    case dtMFCA:
    case dtMFCB:
    case dtMFCC:
    case dtMFCD: {
        Window.ShowModalMessage(QStringLiteral("Clicking OK will start initialization of MFC device."));
        ToolRun(Window, QStringLiteral("Initializing"), Device->COMPort)
            .Working(InitializeExchanges * CurrentSendASCIITimings().ReadoutTimeoutMS / 1000.0);
        TAlicatMFC controller;
        controller.COM().SetPort(Device->COMPort.toLocal8Bit());
        // Mismatching replies go to the controller driver's log; the operator is told which
        // steps did not answer as expected and what the controller lacks.
        controller.Initialize(TAlicatInitialize::TAIBlendorDampor);
        for (const QString& line : controller.InitializeReport)
            Window.Progress(line);
        Window.ShowModalMessage(QStringLiteral("Initialization done."));
        break;
    }
    case dtPump:
        Window.ShowModalMessage(QStringLiteral("There is no Initialize procedure for Pump device"));
        break;
    case dtMFCDemo:
        Window.ShowModalMessage(QStringLiteral("There is no Initialize procedure for demo device"));
        break;
    }
}

void PrimePumpTool(const std::optional<TDeviceInfo>& Device, int Loops, TInstrumentToolsWindow& Window,
                   const TPumpToolWaits& Waits)
{
    if (!PumpToolAllowed(Device, Window))
        return;
    Window.ShowModalMessage(QStringLiteral("For safety, this will disable the form and stop any new changes on devices "
                                           "until completed. Software will be unresponsive until pump stops."));
    WindowLock lock(Window);
    const ToolRun run(Window, QStringLiteral("Priming"), Device->COMPort);
    TPSD4 pump;
    if (!PreparePump(pump, Device->COMPort, Waits.AfterPrimeInitialize_s, run))
        return;
    // Every loop is a full fill and empty stroke: the wait grows with the loop count, so the
    // window stays locked until the pump has stopped.
    const int loops = std::clamp(Loops, PrimePumpLoopsMinimum, PrimePumpLoopsMaximum);
    if (RunPumpProgram(pump, PrimePumpCommand(loops), Waits.PerMove_s * loops, run))
        Window.ShowModalMessage(QStringLiteral("One priming loop done, software is now reponsive again."));
}

void ChangeSyringeTool(const std::optional<TDeviceInfo>& Device, TInstrumentToolsWindow& Window,
                       const TPumpToolWaits& Waits)
{
    if (!PumpToolAllowed(Device, Window))
        return;
    Window.ShowModalMessage(
        QStringLiteral("For safety, this will disable the form and stop any new changes on devices until completed."));
    WindowLock lock(Window);
    const ToolRun run(Window, QStringLiteral("Changing syringe on"), Device->COMPort);
    TPSD4 pump;
    if (!PreparePump(pump, Device->COMPort, Waits.AfterSyringeInitialize_s, run))
        return;
    // The plunger stays out while the message is open; nothing is sent after OK.
    if (RunPumpProgram(pump, ChangeSyringeCommand, Waits.PerMove_s, run))
        Window.ShowModalMessage(QStringLiteral("Change the syringe and click OK only after done."));
}
