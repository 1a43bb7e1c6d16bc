#pragma once
// Serves a line protocol on a pseudo-terminal from a thread of its own: bytes from the
// client are collected up to each carriage return, the protocol answers the line, and the
// answer goes back after the protocol's reply delay. Both instruments speak CR-ended lines.
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
    // One received line without its CR; nullopt = the instrument stays silent.
    virtual std::optional<SimulatorReply> Answer(const QByteArray& line) = 0;
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
    // Every line received so far, in order (each without its CR), for tests and the console.
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
