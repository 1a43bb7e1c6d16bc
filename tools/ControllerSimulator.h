#pragma once
// A stand-in for one Alicat mass flow controller speaking its ASCII protocol. Commands (each
// after the unit id letter, ended by CR, LF or CR LF; a line for another unit id gets no
// answer, an empty line is ignored; lower case is read as upper case, as the instrument does):
//   (nothing)              the status line
//   <n>                    setpoint n counts (64000 = full scale), answered with the status line
//   G <n>                  gas select, answered with the status line
//   ??M5                   identification, e.g. "A M05 Serial Number 142001"
//   FPF <a> <b>            full scale in unit b: grams per minute of the selected gas for 67
//                          (what the driver asks), e.g. "A 0.057252 67 g/m" for 50 SCCM of N2;
//                          standard cubic centimetres otherwise, e.g. "A 50.00 12 SCCM"
//   FACTORY RESTORE ALL, LSS U, SPUE 0, DCU 37 62, DCU 2 7   the initialisation commands
//   anything else          the instrument's error reply "A ?"
// Older firmware knows neither the full-scale query nor the DCU unit commands: it answers them
// "A ?", takes its setpoint in counts anyway and keeps its pressure in psia.
// Status line: "A <pressure> <temperature> <volumetric flow> <mass flow> <setpoint> [<totalizer>
// [<valve drive>]] <gas> [codes]", mass flow and setpoint in counts; controllers without the
// totalizer option leave it out, those that report their valve drive add it after the
// totalizer. The mass flow follows the setpoint with a first-order lag (one second at time
// scale 1). Faults can be switched on at any time, from any thread.
#include "tools/SimulatorHost.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <mutex>

enum class ControllerStatusLayout { Totalizer, NoTotalizer, ValveDrive };

struct ControllerSimulatorOptions {
    QString Serial = QStringLiteral("142001");
    double FullScale = 50.0; // SCCM: standard cubic centimetres per minute at 25 °C and 1.01325 bar
    double TimeScale = 1.0; // real time per instrument second: 0.1 runs the flow response ten times faster
    char UnitID = 'A'; // an upper-case letter
    ControllerStatusLayout Layout = ControllerStatusLayout::Totalizer;
    bool OldFirmware = false;
};

struct ControllerFaults {
    bool NoReply = false;       // silent to everything
    QByteArray FixedReply;      // when set: the answer to every command (e.g. "A U"), without CR
    bool ShortReply = false;    // status line cut after the temperature
    bool NonNumericFields = false; // mass flow field unreadable as a number
    QStringList StatusCodes;    // appended after the gas label, joined by one blank
    bool LongReply = false;     // status line padded beyond 80 bytes
    int ReplyDelayMs = 0;
};

class ControllerSimulator : public LineProtocol {
public:
    explicit ControllerSimulator(ControllerSimulatorOptions options = {});

    std::optional<SimulatorReply> Answer(const QByteArray& line) override;

    void SetFaults(const ControllerFaults& faults);
    ControllerFaults Faults() const;

    int SetpointCounts() const;
    int GasNumber() const;
    double MassFlowCounts() const;
    // How many setpoint commands arrived.
    int SetpointCommandCount() const;

    // The label the status line shows for a gas number (short name, or the number).
    static QString GasLabel(int gasNumber);

private:
    using Clock = std::chrono::steady_clock;

    QByteArray Respond(const QByteArray& command);
    QByteArray StatusLine();
    QByteArray FullScaleIn(const QByteArray& unitCode) const;
    void AdvanceFlow();

    const ControllerSimulatorOptions fOptions;
    mutable std::mutex fMutex;
    ControllerFaults fFaults;
    int fSetpoint = 0;
    int fGas = 0;
    double fMassFlow = 0;
    double fTotalizer = 0;
    bool fPressureInBarA = false;
    int fSetpointCommands = 0;
    Clock::time_point fLastAdvance = Clock::now();
};
