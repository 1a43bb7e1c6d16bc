#pragma once
// Serves a line protocol on a pseudo-terminal from a thread of its own: bytes from the
// client are collected into lines, the protocol answers each line, and the answer goes back
// after the protocol's reply delay. Both instruments take lines ended by CR, as the program
// sends them, and also by LF or CR LF, as terminal programs and other drivers send them.
#include "tools/PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct SimulatorReply {
    QByteArray bytes;
    int delayMs = 0; // how long the instrument takes before it answers
};

class LineProtocol {
public:
    virtual ~LineProtocol() = default;
    // One received line without its line end; nullopt = the instrument stays silent.
    virtual std::optional<SimulatorReply> Answer(const QByteArray& line) = 0;
};

// Cuts received bytes into lines at CR, LF or CR LF; an LF right after a CR (even in the next
// chunk) only completes that line end, so it never starts the next command.
class LineSplitter {
public:
    // The lines completed by these bytes, each without its line end.
    QList<QByteArray> Take(const QByteArray& bytes);

private:
    QByteArray fPending;
    bool fAfterCr = false;
};

class SimulatorHost {
public:
    explicit SimulatorHost(std::shared_ptr<LineProtocol> protocol);
    ~SimulatorHost();
    SimulatorHost(const SimulatorHost&) = delete;
    SimulatorHost& operator=(const SimulatorHost&) = delete;

    bool IsOpen() const { return fTerminal.IsOpen(); }
    QString ErrorText() const { return fTerminal.ErrorText(); }
    QString PortPath() const { return fTerminal.SlavePath(); }
    // Every line received so far, in order (each without its line end), for tests and the console.
    QList<QByteArray> ReceivedLines() const;
    void ClearReceivedLines();

private:
    void Run();

    PseudoTerminal fTerminal;
    std::shared_ptr<LineProtocol> fProtocol;
    mutable std::mutex fMutex;
    QList<QByteArray> fReceived;
    std::atomic<bool> fStop{false};
    std::thread fThread;
};
