#pragma once
// The driver of one Alicat mass flow controller on its serial port, its reading record, and
// the stand-alone command sender used by the device search and the tools.
#include "instruments/AlicatErrors.h"
#include "instruments/SerialPort.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

enum class TAlicatInitialize { TAIBlendorDampor };

// One reading of a controller plus the values the caller wants applied.
struct TAlicatData {
    double DataTime = 0; // days since 1899-12-30
    double Pressure = 0;
    double Temp = 0;
    double FlowRate_vol = 0;
    double FlowRate_mass = 0;      // counts after Initialize, 64000 = full scale
    double SetpointFromDevice = 0; // counts after Initialize
    double Totalizer = 0;
    QString GasSN;
    TAlicatErrors ErrorFlags;
    QString Raw;
    double Setpoint_pct = 0;
    double MaxFlowgpm = 0;
    std::int32_t GasID = 0;
    QString GasDescription;
    std::uint32_t GasLiveSource = 0;

    // The descriptions of the set flags, one per line (CR LF between them); true when any.
    bool Errors(QString& Desc) const;
};

// Why the driver's last status read (or an initialisation nothing answered) failed.
struct TAlicatFailure {
    QString Status;          // the transport's status; empty when the controller answered
    bool Unreadable = false; // it answered, but the reply does not read as a status line
    QString Reply;           // the unreadable reply
};

class TAlicatMFC {
public:
    TAlicatMFC();
    TAlicatMFC(const TAlicatMFC&) = delete;
    TAlicatMFC& operator=(const TAlicatMFC&) = delete;

    TSerialPort& COM() { return *aPort; }
    const TSerialPort& COM() const { return *aPort; }
    std::uint64_t ModbusAddr() const { return aModbusAddr; }
    void SetModbusAddr(std::uint64_t value) { aModbusAddr = value; }
    QChar DeviceID() const { return aDeviceID; }
    void SetDeviceID(QChar value) { aDeviceID = value; }

    // Factory values, serial control, setpoint in counts, pressure in barA, setpoint 0;
    // true when every checked reply matched. InitializeReport then tells the operator each
    // step that did not, with its reply, and what the controller lacks when it rejected one.
    // When no step got an answer, LastFailure holds the first step's transport status and
    // InitializeAnswered() is false.
    bool Initialize(TAlicatInitialize Scheme);
    bool InitializeAnswered() const { return fInitializeAnswered; }
    // Selects gas theData.GasID (0 to 210) unless it is already selected, then reads the
    // full scale into MaxFlow_gpm.
    bool ChangeGas(TAlicatData& theData);
    // Polls the status line into theData; false (theData untouched, LastFailure set) when the
    // exchange fails or a number in the reading does not read.
    bool ReadStatus(TAlicatData& theData);
    // Sends theData.Setpoint_pct as counts (64000 = 100 %), brought into 0 … 100 % first
    // (logged when it had to be).
    bool ApplySetpoint_pct(TAlicatData& theData);

    QString Role;
    std::int32_t GasID = -1; // the gas last selected on the controller; -1 none yet
    double MaxFlow_gpm = 0;
    // Set by the first full-scale query; the reply to the last one, or its transport status.
    bool FullScaleAsked = false;
    QString FullScaleReply;
    // Older firmware rejects the full-scale query or answers 0: no flow in grams then.
    bool FullScaleKnown() const { return MaxFlow_gpm > 0; }
    QStringList InitializeReport;
    TAlicatFailure LastFailure;

private:
    QString PortName() const;

    std::unique_ptr<TSerialPort> aPort;
    std::uint64_t aModbusAddr = 0;
    QChar aDeviceID;
    bool fInitializeAnswered = true;
};

// The transport timings SendASCII gives its temporary port: 333 ms polls and a 2500 ms
// read-out by default. Process-wide, so tests and simulated runs can go faster.
struct SendASCIITimings {
    std::uint32_t WindowsReadLoopTimeoutMS = 333;
    std::uint32_t ReadoutTimeoutMS = 2500;
};
SendASCIITimings CurrentSendASCIITimings();
// Installs new timings and returns the previous ones.
SendASCIITimings SetSendASCIITimings(const SendASCIITimings& timings);

// Sends Command + CR at 19200 baud to the port named PortName on a port object of its own.
// Reply gets the trimmed reply; Status the transport's status followed by CR and the
// duration. True when the exchange succeeded.
bool SendASCII(const QString& PortName, const QString& Command, bool WaitForResponse, QString& Status,
               QString& Reply);
