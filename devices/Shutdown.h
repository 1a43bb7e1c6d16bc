#pragma once
// Stopping every worker together: at window close and on "Reset Devices".
#include <QString>

class WindowPort;

void MarkThreadsToStop();
int ActiveThreadCount();
// What follows the shut-down: Reset Devices keeps the program running, closing ends it.
enum class AfterShutdown { KeepRunning, EndProgram };

// Asks every worker to bring its instrument to rest, waits for them (keeping the window's
// messages flowing, through which the workers' exchanges run) for at most Timeout_s, frees
// them and the device LEDs, and marks every device unconfigured. No instrument's failure
// opens a box meanwhile. Workers that did not confirm within the time are left to finish on
// their own; the returned text names them for the operator (empty when every worker
// confirmed), for the caller to show once the shut-down has returned.
QString TerminateThreads(WindowPort& window, double Timeout_s, AfterShutdown after = AfterShutdown::KeepRunning);
