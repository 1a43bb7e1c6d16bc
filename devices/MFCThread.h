#pragma once
// The worker that serves one mass flow controller (or a simulated one): it takes the
// window's wishes (gas, setpoint, stop), selects the gas, reads the status, re-sends the
// setpoint when the controller's own differs, and hands every good reading back. It counts
// failed exchanges (CommunicationState), pauses after each, and initialises the controller
// again when communication returns or the controller reports another gas than selected.
#include "devices/CommunicationState.h"
#include "devices/WorkerThread.h"
#include "instruments/AlicatMFC.h"

#include <cstdint>
#include <memory>

struct TThreadData {
    bool IsTerminated = false;
    bool ToTerminate = false;
    TAlicatData DeviceStatus;
    QString DeviceStatusRaw;
    TWorkerReport Report;
    // The controller did not report a positive full scale (older firmware): its readings
    // give no flow in grams.
    bool FullScaleUnknown = false;
    CommunicationReport Communication;
};

// The row state of a controller whose full scale is missing or not positive: its flows in
// grams (and in the operator's unit) cannot be computed and are left out.
inline const QString FullScaleUnknownCondition = QStringLiteral("full scale unknown");

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
    void ReportInitialization();
    void ReportFullScale();

    QString fFullScaleNotice; // the last full-scale notice handed over
    // Hands a good reading on, or initialises the controller again when it needs it.
    void HandleReading(const TAlicatData& reading, bool stopping, CommunicationState::Change change);
    void Reinitialise(const QString& reason);
    // The reason to initialise again when the reading's gas label is not the selected gas's.
    QString GasMismatch(const TAlicatData& reading);
    void LogCommunication(CommunicationState::Change change);

    CommunicationState fCommunication;
    QString fMismatchHandled; // the gas label that last made the worker initialise again
};
