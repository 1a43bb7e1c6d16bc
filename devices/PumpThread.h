#pragma once
// The worker that serves one syringe pump: it sends the pump the dispense program the window
// wants whenever that program changes, and stops the pump when asked to.
#include "devices/WorkerThread.h"
#include "instruments/PSD4.h"

#include <memory>

struct TPSD4ThreadData {
    double DataTime = 0;
    double Setpoint = 0;
    QString Command;
    bool ToTerminate = false;
    bool IsTerminated = false;
    QString aMessage;
    TWorkerReport Report;
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
    void ApplyCommand();
};
