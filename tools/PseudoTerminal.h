#pragma once
// A pseudo-terminal pair on which a simulated instrument listens. The program under test
// opens the slave side by its path (for example /dev/pts/5) exactly as it opens a real
// serial port; the simulator reads and writes the master side.
#include <QByteArray>
#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return fMaster >= 0; }
    QString ErrorText() const { return fError; }
    // The path a serial port client opens, e.g. /dev/pts/5.
    QString SlavePath() const { return fSlavePath; }

    // Waits up to timeoutMs for bytes from the client; empty on time-out.
    QByteArray Read(int timeoutMs);
    bool Write(const QByteArray& bytes);

private:
    int fMaster = -1;
    // Kept open so the line stays raw and the master never sees a hang-up while the client
    // closes and reopens the port between exchanges, as our transport does.
    int fSlave = -1;
    QString fSlavePath;
    QString fError;
};
