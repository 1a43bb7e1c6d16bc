#pragma once
// The record of every instrument the program knows and the device list that owns them. The
// window takes a copy of a record by its COM port, changes the copy and writes it back
// whole; only the engine tick, the worker start-up and the shut-down work on the list in
// place. Everything here belongs to the window's thread: workers never touch it.
#include "core/ColorNames.h"
#include "core/GasFlowUnitConversions.h"
#include "devices/CommunicationState.h"
#include "instruments/AlicatErrors.h"

#include <QString>
#include <QtGui/qrgb.h> // the colour value alone (header only, no QtGui library)
#include <cstdint>
#include <vector>

class DiagnosticLogger;
class TMFCThread;
class TPSD4Thread;

// The device's status LED on the window's LED strip; the window supplies the widget.
class TDeviceLed {
public:
    virtual ~TDeviceLed() = default;
};

// A series of the flow chart; the chart supplies and owns it.
class TChartSeries {
public:
    virtual ~TChartSeries() = default;
};

// dtMFCA..dtMFCD: the four controller positions of a gas mixer; dtPump: the syringe pump of
// a humidifier; dtMFCDemo: a simulated controller.
enum tDeviceType : std::uint8_t { dtMFCA, dtMFCB, dtMFCC, dtMFCD, dtPump, dtMFCDemo };

// dcmSegment follows the segment program, dcmDirect holds Setpoint_pct, dcmIdle gets no new
// setpoint from the engine tick.
enum tDeviceControlMode : std::uint8_t { dcmSegment, dcmDirect, dcmIdle };

// What happens after a program's last point; stored only, the evaluation does not ask.
enum TSegProgTermination : std::uint8_t { tspttKeep };

struct tDatapoint {
    double Elapsed = 0;
    double Flowgpm = 0;
};

// A controller type: one of the four mixer positions or the simulated controller.
constexpr bool IsControllerType(tDeviceType type) { return type <= dtMFCD || type == dtMFCDemo; }

// One instrument, copied by value. The runtime objects are shared by every copy: the record
// stored in DevicesLocal owns the worker thread and the LED (created when the device is
// applied, freed only by the shut-down through that stored record); the chart owns the
// series.
struct TDeviceInfo {
    QString COMPort; // key of the record in DevicesLocal
    QString NameRole;
    tDeviceType DevType = dtMFCA;
    QString Serial;
    QRgb Color = 0;
    double SyringeSizeuL = 0;     // pump only
    double FluidTemperatureC = 0; // pump only
    std::int32_t FluidID = 0;     // gas or fluid number in the gas table; -1 = not configured
    double MaxFlow_ulpm = 0;      // pump only: full-scale dose rate
    TGasFlowDetails FlowUnitDevice; // the instrument's own unit, with its full scale
    TGasFlowDetails FlowUnitUser;   // the operator's unit; GasFlowValue holds the latest reading
    double Setpoint_pct = 0;        // direct setpoint
    double Setpoint_gui = 0;        // direct setpoint as typed, applied by direct control
    tDeviceControlMode ControlMode = dcmSegment;
    QString SegmentProgram;
    TSegProgTermination SegmentProgramTermination = tspttKeep;
    double FlowStartTime = 0; // days since 1899-12-30, local time: shown and logged
    qint64 FlowStartSteadyMs = 0; // the same moment on the steady clock, for elapsed times
    QString Errors;
    CommunicationReport Communication; // as the window last showed it; reset with the worker
    double LastHandled = 0; // time of the last reading the engine tick processed (days)
    double LastHandled_gpm = 0;     // controllers: that reading's mass flow (g/min)
    TAlicatErrors LastHandledCodes; // controllers: that reading's status codes
    TMFCThread* ThreadMFC = nullptr;
    TPSD4Thread* ThreadPump = nullptr;
    TDeviceLed* Led = nullptr;
    TChartSeries* SerieSegment = nullptr; // requested flow
    TChartSeries* SerieFlow = nullptr;    // achieved flow
    std::vector<tDatapoint> Data;

    // Creates and starts the worker that serves the device (defined with the worker
    // start-up). A pump is prepared first on the calling thread, which waits for it at most
    // PumpStartLimit_s.
    bool StartThread();
    // Marks now as the start of the flow, on the local and on the steady clock.
    void MarkFlowStart();
    // Minutes since the flow start, on the steady clock: never negative however the local
    // clock is set meanwhile.
    double Elapsed_min() const;
    // A controller's gas short name ("Mixture" for a mixture, "Unconfigured" for gas -1),
    // "Pump" for a pump. Throws TessalyError for a gas number the gas table does not hold.
    QString Fluidname() const;
};

// The longest a pump's start-up holds the window (seconds).
inline constexpr double PumpStartLimit_s = 15;

// The standard units: the source of the engine tick's conversion of each reading (its value
// and molar mass are overwritten per reading), the template of a controller's own unit, and
// the template of a pump's operator unit.
extern TGasFlowDetails DefaultUnitGmin;
extern TGasFlowDetails DefaultUnitMlmin;
extern TGasFlowDetails DefaultUnitUlmin;

// The device list. Holds the two simulated demo controllers "COMX" and "COMY" from program
// start until the device search replaces them.
extern std::vector<TDeviceInfo> DevicesLocal;

// Puts DevicesLocal and the standard units back to their program-start state (tests).
void ResetDevicesLocal();

// The module's diagnostic logger ("Unit: DeviceInfo").
const DiagnosticLogger& DeviceInfoLog();

// A controller as the built-in tables describe it: no gas yet, direct control at 0 %, both
// units a copy of DefaultUnitMlmin with the given full scale.
TDeviceInfo MakeControllerRecord(tDeviceType type, const QString& serial, const QString& nameRole, QRgb color,
                                 double fullScale_sccm);

// Ports compare after removing surrounding blanks and control characters, exactly and
// case-sensitively.
bool GetDeviceByPort(const QString& Port, TDeviceInfo& Device);
int IndexOfDevicePort(const QString& Port);
// Replaces the record with Device's port by Device as a whole; false, with nothing written,
// when the port is not in the list.
bool SetDeviceByPort(const TDeviceInfo& Device);
// By NameRole ignoring ASCII letter case, then by DevType; equal entries in any order.
void SortDevicesLocalArray();

// "MFC-A" … "MFC-D", "Pump", "MFC"; empty for a value outside the type.
QString DeviceTypeName(tDeviceType type);
// "Blendor", "Dampor" or "Simulated"; empty for a value outside the type.
QString DeviceInstrumentName(tDeviceType type);
