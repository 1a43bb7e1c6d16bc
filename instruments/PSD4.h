#pragma once
// Driver of the PSD4 syringe pump (ASCII protocol, 9600 baud). A command goes out as
// "/" + address + command + CR; the reply starts "/0", its third character being the status
// character: the error code and the ready/busy bit.
#include "instruments/SerialPort.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <memory>

enum EnumInterfaceType : std::uint8_t { it_Undefined, it_ASCII };

// The names are shown to the operator through StatusAsString.
enum EnumPumpState : std::uint8_t {
    ps_Undefined,
    ps_Connected,
    ps_Initialized,
    ps_No_error,
    ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization,
    ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used,
    ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command,
    ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect,
    ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty,
    ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize,
    ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure,
    ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure,
    ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed,
    ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full,
};

// The enumeration name, e.g. "ps_No_error".
QString PumpStateName(EnumPumpState state);

// How long the driver and its transport wait. The defaults are the instrument's; tests and
// simulated runs shorten them. A driver takes the process-wide values when it is created.
struct TPSD4Timing {
    std::uint32_t PollIntervalMS = 333; // the transport's WindowsReadLoopTimeoutMS
    std::uint32_t ReadoutTimeoutMS = 1000; // the transport's ReadoutTimeoutMS
    int StopPollMS = 100;
    double StopLimit_s = 5;
    int WaitPollMS = 250;
    int SerialSettleMS = 100; // after running a stored slot, before asking the position
    double SerialWait_s = 15; // for the initialisation that precedes the serial read
};

TPSD4Timing PSD4Timing();
// Installs the process-wide timing for drivers created from now on; returns the previous one.
TPSD4Timing SetPSD4Timing(const TPSD4Timing& timing);

class TPSD4 {
public:
    TPSD4();
    ~TPSD4();
    TPSD4(const TPSD4&) = delete;
    TPSD4& operator=(const TPSD4&) = delete;

    bool Initialized() const { return pInitialized; }
    EnumPumpState State() const { return pState; }
    bool Busy() const { return pBusy; }

    // Opens the conversation: a fresh transport on aCOMPort (the previous one is freed) and
    // the identification query, which a PSD4 answers "/0`255".
    bool Connect(const QString& aCOMPort);
    // True when an answered exchange was attempted, even if the transport reported an error
    // in aResponse.Status; false when nothing was sent or no answer was wanted.
    bool SendCommand(const QString& aCommand, TSerialResponse& aResponse, bool aWantAnswer);
    // Decodes the status character of a reply into State and Busy; LastAnswerRead() tells
    // whether the reply carried a status character at all.
    void SetStatus(const TSerialResponse& aResponse);
    // The last answered exchange reached the pump and its reply carried a known status
    // character: only then do State and Busy say anything about the pump as it is now.
    bool LastAnswerRead() const { return fLastAnswerRead; }
    // The transport's status and the reply of the last exchange SendCommand made or refused.
    const QString& LastTransportStatus() const { return fLastResponse.Status; }
    const QString& LastReply() const { return fLastResponse.Response; }
    QString Port() const;
    // "Busy, " or "Ready, " and the state's name in words, e.g. "Ready, No error".
    QString StatusAsString() const;
    // Sends one initialisation command (e.g. "ZN1R"); Feedback is left as it is.
    void Initialize(const QString& aCommand, QString& Feedback);
    // Terminates the running command and waits (bounded) for the pump to rest without error.
    // Confirmed only by the pump's own answer that it is not busy: a lost reply or a port that
    // does not open is a failed stop.
    bool Stop();
    // Queries the status until the pump is ready; false when TimeOut_s passed first.
    bool WaitUntilFree(double TimeOut_s);
    // The serial number kept in stored-command slots 12 and 13; -1 when it does not read as
    // a decimal number (no answer, a silent or odd pump). Moves the plunger.
    std::int32_t Serial();
    // Stores an eight-digit serial number in slots 12 and 13.
    bool SerialStore(const QString& Serial);
    // Duration of a speed ramp between two speeds (each clamped into 50 … 6000).
    static double RampTimeSeconds(std::int32_t StartSpeed, std::int32_t StopSpeed, std::int32_t SlopeSpeed);

    EnumInterfaceType DataInterface = it_ASCII;
    // The command (without framing) of the last exchange that waited for an answer.
    QString LastCommand;

private:
    QChar pAddressASCII = u'1';
    bool pInitialized = false;
    EnumPumpState pState = ps_Undefined;
    bool pBusy = false;
    bool fLastAnswerRead = false;
    TSerialResponse fLastResponse;
    std::unique_ptr<TSerialPort> COM;
    const TPSD4Timing fTiming;
};
