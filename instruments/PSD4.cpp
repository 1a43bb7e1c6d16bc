#include "instruments/PSD4.h"

#include "core/DiagnosticLog.h"
#include "core/ProcessSetting.h"
#include "core/UserMessages.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::PSD4Interface);
    return log;
}

const std::array<const char*, 14> kStateNames = {
    "ps_Undefined",
    "ps_Connected",
    "ps_Initialized",
    "ps_No_error",
    "ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization",
    "ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used",
    "ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command",
    "ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect",
    "ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty",
    "ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize",
    "ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure",
    "ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure",
    "ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed",
    "ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full",
};

// The status character: upper-case letters and "@" carry the busy bit, lower-case letters
// and the grave accent mean ready. A 0x91 byte read as Windows-1252 arrives as U+2018.
struct StatusCode {
    char16_t character;
    EnumPumpState state;
    bool busy;
};
const StatusCode kStatusCodes[] = {
    {u'@', ps_No_error, true},
    {u'`', ps_No_error, false},
    {u'\u2018', ps_No_error, false},
    {u'A', ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization, true},
    {u'a', ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization, false},
    {u'B', ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used, true},
    {u'b', ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used, false},
    {u'C', ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command, true},
    {u'c', ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command, false},
    {u'D', ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect, true},
    {u'd', ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect, false},
    {u'F', ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty, true},
    {u'f', ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty, false},
    {u'G', ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize, true},
    {u'g', ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize, false},
    {u'I', ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure, true},
    {u'i', ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure, false},
    {u'J', ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure, true},
    {u'j', ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure, false},
    {u'K', ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed, true},
    {u'k', ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed, false},
    {u'O', ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full, true},
    {u'o', ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full, false},
};

ProcessSetting<TPSD4Timing> gTiming;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void SleepMS(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace

QString PumpStateName(EnumPumpState state)
{
    return state < kStateNames.size() ? QString::fromLatin1(kStateNames[state]) : QString();
}

TPSD4Timing PSD4Timing()
{
    return gTiming.Get();
}

TPSD4Timing SetPSD4Timing(const TPSD4Timing& timing)
{
    return gTiming.Set(timing);
}

TPSD4::TPSD4() : fTiming(PSD4Timing()) { Log(); }

TPSD4::~TPSD4() = default;

bool TPSD4::Connect(const QString& aCOMPort)
{
    // A second Connect replaces the transport; the old one is freed rather than leaked.
    COM = std::make_unique<TSerialPort>();
    COM->SetPort(aCOMPort.toLocal8Bit());
    COM->SetWindowsReadLoopTimeoutMS(fTiming.PollIntervalMS);
    COM->SetReadoutTimeoutMS(fTiming.ReadoutTimeoutMS);
    TSerialResponse response;
    response.Init();
    COM->Send2(QByteArray("/1?22\r"), true, response);
    if (response.Response.trimmed() != QStringLiteral("/0`255"))
        return false;
    pState = ps_Connected;
    return true;
}

bool TPSD4::SendCommand(const QString& aCommand, TSerialResponse& aResponse, bool aWantAnswer)
{
    const QString frame = QStringLiteral("/") + pAddressASCII + aCommand + QStringLiteral("\r");
    aResponse.Init();
    fLastAnswerRead = false;
    if (pState == ps_Undefined || !COM) {
        aResponse.Status = QStringLiteral("Pump state undefined, cannot send command: ") + frame;
        fLastResponse = aResponse;
        return false;
    }
    COM->Send2(frame, aWantAnswer, aResponse);
    fLastResponse = aResponse;
    if (!aWantAnswer)
        return false;
    SetStatus(aResponse);
    LastCommand = aCommand;
    return true;
}

void TPSD4::SetStatus(const TSerialResponse& aResponse)
{
    const QString& reply = aResponse.Response;
    pBusy = false;
    fLastAnswerRead = false;
    if (reply.size() < 3) {
        // May run on the pump's worker thread: the message seam hands it to the window, one
        // box per pump at a time.
        ShowDeviceMessage(Port(), QStringLiteral("Set pump states failed. Used string: ") + reply);
    } else {
        const char16_t status = reply[2].unicode();
        const auto code = std::find_if(std::begin(kStatusCodes), std::end(kStatusCodes),
                                       [status](const StatusCode& c) { return c.character == status; });
        if (code != std::end(kStatusCodes)) {
            pState = code->state;
            pBusy = code->busy;
            fLastAnswerRead = aResponse.Status.isEmpty();
        }
    }
    Log().Send(QStringLiteral("PSD4@") + Port() + QStringLiteral(" Setstatus: ") + StatusAsString());
}

QString TPSD4::Port() const
{
    return COM ? QString::fromLocal8Bit(COM->Port()) : QString();
}

QString TPSD4::StatusAsString() const
{
    QString words = PumpStateName(pState).mid(3);
    words.replace(QStringLiteral("__"), QStringLiteral(" - "));
    words.replace(u'_', u' ');
    return (pBusy ? QStringLiteral("Busy, ") : QStringLiteral("Ready, ")) + words;
}

void TPSD4::Initialize(const QString& aCommand, QString& Feedback)
{
    Q_UNUSED(Feedback);
    TSerialResponse response;
    SendCommand(aCommand, response, true);
    pInitialized = true;
}

bool TPSD4::Stop()
{
    const Clock::time_point start = Clock::now();
    TSerialResponse response;
    bool answered = SendCommand(QStringLiteral("T"), response, true) && fLastAnswerRead;
    while (!answered || pBusy) {
        if (SecondsSince(start) > fTiming.StopLimit_s)
            return false;
        SleepMS(fTiming.StopPollMS);
        answered = SendCommand(QStringLiteral("Q"), response, true) && fLastAnswerRead;
    }
    return pState == ps_No_error;
}

bool TPSD4::WaitUntilFree(double TimeOut_s)
{
    const Clock::time_point start = Clock::now();
    pBusy = true;
    double elapsed = -1;
    TSerialResponse response;
    while (pBusy && elapsed <= TimeOut_s) {
        SleepMS(fTiming.WaitPollMS);
        elapsed = SecondsSince(start);
        SendCommand(QStringLiteral("Q"), response, true);
    }
    return elapsed <= TimeOut_s;
}

std::int32_t TPSD4::Serial()
{
    QString text = QStringLiteral("-1");
    TSerialResponse response;
    SendCommand(QStringLiteral("ZN1R"), response, true);
    WaitUntilFree(fTiming.SerialWait_s);
    // Each slot moves the plunger to a position that spells four digits of the number; the
    // reply to "?" carries the position after the status character.
    const auto slotDigits = [&](const QString& slot, QString& digits) {
        SendCommand(slot, response, true);
        SleepMS(fTiming.SerialSettleMS);
        if (!SendCommand(QStringLiteral("?"), response, true))
            return false;
        digits = response.Response.mid(3, 5);
        return true;
    };
    QString high;
    QString low;
    const bool highRead = slotDigits(QStringLiteral("e12R"), high);
    const bool lowRead = slotDigits(QStringLiteral("e13R"), low);
    // The plunger position drops leading zeros: the second slot's "0042" reads "42".
    if (highRead && lowRead && !high.isEmpty() && !low.isEmpty())
        text = high + low.rightJustified(4, u'0');
    SendCommand(QStringLiteral("A0R"), response, true);
    bool ok = false;
    const std::int32_t serial = text.toInt(&ok, 10);
    return ok ? serial : -1;
}

bool TPSD4::SerialStore(const QString& Serial)
{
    TSerialResponse response;
    if (!SendCommand(QStringLiteral("s12A") + Serial.left(4) + QStringLiteral("R"), response, true))
        return false;
    return SendCommand(QStringLiteral("s13A") + Serial.mid(4, 4) + QStringLiteral("R"), response, true);
}

double TPSD4::RampTimeSeconds(std::int32_t StartSpeed, std::int32_t StopSpeed, std::int32_t SlopeSpeed)
{
    StartSpeed = std::clamp(StartSpeed, 50, 6000);
    StopSpeed = std::clamp(StopSpeed, 50, 6000);
    return std::abs(StartSpeed - StopSpeed) / double(SlopeSpeed);
}
