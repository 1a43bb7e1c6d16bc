#pragma once
// Stopping every worker together: at window close and on "Reset Devices".
class WindowPort;

void MarkThreadsToStop();
int ActiveThreadCount();
// Asks every worker to bring its instrument to rest, waits for them (keeping the window's
// messages flowing, through which the workers' exchanges run) for at most Timeout_s, frees
// them and the device LEDs, and marks every device unconfigured. Workers that did not confirm
// within the time are named to the operator and left to finish on their own.
void TerminateThreads(WindowPort& window, double Timeout_s);
