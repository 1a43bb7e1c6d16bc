#include "ui/ToolsWindowLock.h"

#include "core/UserMessages.h"
#include "ui/MainWindow.h"
#include "ui/MessageLog.h"

#include <QLabel>

void ToolsWindowLock::ShowModalMessage(const QString& text)
{
    if (fLocked)
        fWindow.releaseMouse();
    ShowMessage(text);
    if (fLocked)
        fWindow.grabMouse(Qt::WaitCursor);
}

void ToolsWindowLock::LockWindow()
{
    fLocked = true;
    fTimerWasActive = fWindow.TimerEngine().isActive();
    fWindow.setEnabled(false);
    fWindow.TimerEngine().stop();
    fWindow.grabMouse(Qt::WaitCursor);
}

void ToolsWindowLock::UnlockWindow()
{
    fLocked = false;
    fWindow.releaseMouse();
    fWindow.setEnabled(true);
    if (fTimerWasActive)
        fWindow.TimerEngine().start();
    fWindow.ProgressText().clear();
}

void ToolsWindowLock::Progress(const QString& text)
{
    fWindow.MM(text);
    fWindow.ProgressText().setText(text);
    // The window's thread is about to wait on the instrument: paint now, also where a message
    // box has just closed, so the operator sees the whole window and what it waits for.
    fWindow.repaint();
}
