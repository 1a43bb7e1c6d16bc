#pragma once
// The maintenance actions of the tools page on the one selected device: initialising a mass
// flow controller, priming a syringe pump and moving its plunger out for a syringe change.
// Each action talks to its instrument through a driver of its own on the window's thread, so
// it is refused for a device whose worker thread runs, and it keeps the window locked (and
// the engine tick stopped) while it waits on the instrument.
#include "devices/DeviceInfo.h"

#include <QString>
#include <optional>

// What an action needs of the window.
class TInstrumentToolsWindow {
public:
    virtual ~TInstrumentToolsWindow() = default;
    // A modal message with an OK button, centred; returns when the operator closed it.
    virtual void ShowModalMessage(const QString& text) = 0;
    // Disables the window, stops the engine timer and captures the mouse.
    virtual void LockWindow() = 0;
    // Releases the mouse, enables the window and starts the engine timer again.
    virtual void UnlockWindow() = 0;
    // A line for the message log while the window is locked, e.g. before a long wait.
    virtual void Progress(const QString& text) = 0;
};

// How long the pump actions wait for the pump to be ready again.
struct TPumpToolWaits {
    double AfterPrimeInitialize_s = 60;
    double AfterSyringeInitialize_s = 15;
    double PerMove_s = 5; // per priming loop, and for the syringe move
};

inline constexpr int PrimePumpLoopsMinimum = 1;
inline constexpr int PrimePumpLoopsMaximum = 10;

// The pump program of Loops priming loops (clamped into 1 … 10): top speed 3000; repeat:
// valve to input, fill to step 24000, valve to output, empty to step 0; run.
QString PrimePumpCommand(int Loops);
// Top speed 4000, valve to input, plunger to step 24000, run.
inline const QString ChangeSyringeCommand = QStringLiteral("V4000IA24000R");

// Sends a controller its initialisation sequence. No device: nothing happens.
void InitializeDeviceTool(const std::optional<TDeviceInfo>& Device, TInstrumentToolsWindow& Window);
// Runs Loops priming loops on a pump and tells when they are done.
void PrimePumpTool(const std::optional<TDeviceInfo>& Device, int Loops, TInstrumentToolsWindow& Window,
                   const TPumpToolWaits& Waits = {});
// Moves a pump's plunger out and holds it there while the operator changes the syringe.
void ChangeSyringeTool(const std::optional<TDeviceInfo>& Device, TInstrumentToolsWindow& Window,
                       const TPumpToolWaits& Waits = {});
