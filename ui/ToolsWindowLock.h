#pragma once
// The main window as the instrument tools see it. A tool talks to its instrument on the
// window's thread, so the window is disabled, its engine tick stopped and the mouse captured
// (with a busy pointer) until the tool ends; what the tool waits for is painted at once,
// before the thread blocks.
#include "ui/pages/InstrumentTools.h"

class TGUIF;

class ToolsWindowLock : public TInstrumentToolsWindow {
public:
    explicit ToolsWindowLock(TGUIF& window) : fWindow(window) {}

    // Through the modal-message seam (a box centred on the screen); the mouse is free while
    // the box is open, since its OK button needs it.
    void ShowModalMessage(const QString& text) override;
    void LockWindow() override;
    // The engine timer runs again only if it ran before the lock.
    void UnlockWindow() override;
    // Into the message log and the status bar, painted now.
    void Progress(const QString& text) override;

private:
    TGUIF& fWindow;
    bool fLocked = false;
    bool fTimerWasActive = false;
};
