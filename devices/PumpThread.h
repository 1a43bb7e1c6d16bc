#pragma once
// The worker that serves one syringe pump: it sends the pump the dispense program the window
// wants whenever that program changes, and stops the pump when asked to. It counts failed
// exchanges (CommunicationState), pauses after each, and sends a program that did not reach
// the pump again.
#include "devices/CommunicationState.h"
#include "devices/WorkerThread.h"
#include "instruments/PSD4.h"

#include <memory>

// Setpoint and Command: from the window, the dose it wants and its program; from the worker,
// the ones the pump last took.
struct TPSD4ThreadData {
    double DataTime = 0;
    double Setpoint = 0;
    QString Command;
    bool ToTerminate = false;
    bool IsTerminated = false;
    QString aMessage;
    TWorkerReport Report;
    CommunicationReport Communication;
};

class TPSD4Thread : public ExchangeWorker<TPSD4ThreadData> {
public:
    explicit TPSD4Thread(QObject* parent = nullptr);
    ~TPSD4Thread() override;

    // Connected and initialised by the thread's creator before the thread starts; the thread
    // keeps it for its whole life and frees it with itself.
    std::unique_ptr<TPSD4> Pump;

protected:
    void run() override;

private:
    void StopCycle();
    // True when both exchanges reached the pump and its replies read.
    bool ApplyCommand();
    // Counts the driver's last exchange into the communication state; true when it reached
    // the pump and its reply read.
    bool CountExchange(bool sent);

    CommunicationState fCommunication;
    QStringList fChanges; // diagnostic lines of communication changes, logged after the cycle
    bool fResend = false; // the wanted program did not reach the pump
};
