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

class TMFCThread : public WorkerThread {
public:
    explicit TMFCThread(QObject* parent = nullptr);
    ~TMFCThread() override;

    TThreadData GUIIn;    // window's copy of what the thread reported
    TThreadData GUIOut;   // the window's wishes
    TThreadData ThreadIn; // the thread's copy of the wishes
    TThreadData ThreadOut;
    QString ThreadID;
    std::uint32_t Serial = 0;
    std::unique_ptr<TAlicatMFC> MFC;
    bool Simulated = false;

    void RequestStop() override { GUIOut.ToTerminate = true; }
    bool ReportedTerminated() const override { return GUIIn.IsTerminated; }

protected:
    void run() override;
    void DataExchange() override;

private:
    void SimulatedCycle();
    void ControllerCycle(bool stopping);
};
