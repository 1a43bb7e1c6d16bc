#pragma once
// The worker that serves one mass flow controller (or a simulated one): it takes the
// window's wishes (gas, setpoint, stop), selects the gas, reads the status, re-sends the
// setpoint when the controller's own differs, and hands every good reading back.
#include "devices/WorkerThread.h"
#include "instruments/AlicatMFC.h"

#include <cstdint>
#include <memory>

struct TThreadData {
    bool IsTerminated = false;
    bool ToTerminate = false;
    TAlicatData DeviceStatus;
    QString DeviceStatusRaw;
};

class TMFCThread : public ExchangeWorker<TThreadData> {
public:
    explicit TMFCThread(QObject* parent = nullptr);
    ~TMFCThread() override;

    QString ThreadID;
    std::uint32_t Serial = 0;
    std::unique_ptr<TAlicatMFC> MFC;
    bool Simulated = false;

protected:
    void run() override;

private:
    void SimulatedCycle();
    void ControllerCycle(bool stopping);
};
