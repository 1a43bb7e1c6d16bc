#include "instruments/AlicatMFC.h"

#include "core/DateTime.h"
#include "core/DiagnosticLog.h"
#include "core/NumberText.h"
#include "core/ProcessSetting.h"
#include "core/SetpointRange.h"
#include "instruments/AlicatReplies.h"

#include <QElapsedTimer>
#include <cmath>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::MFC);
    return log;
}

const QString CRLF = QStringLiteral("\r\n");
constexpr std::int32_t kLowestGasID = 0;
constexpr std::int32_t kHighestGasID = 210;
constexpr int kGasChangeAttempts = 3;
constexpr double kFullScaleCounts = 64000;

struct InitializeStep {
    const char* command;
    const char* expected; // nullptr: the reply is not checked
    const char* label;
    const char* capability; // what the controller lacks when it rejects the command
};

// The controller's unit id is part of each command: a controller with another id is not
// initialised by this sequence.
const InitializeStep kBlendorDamporSteps[] = {
    {"A\r", nullptr, nullptr, nullptr},
    {"AFACTORY RESTORE ALL\r", "A Factory values have been restored.", "Factory reset failed:", "factory reset"},
    {"ALSS U\r", "A U", "Remote control failed:", "serial control"},
    {"ASPUE 0\r", "A U", "Remote control failed:", "serial control"},
    {"ADCU 37 62\r", "A 62 count", "Remote setpoint mode:count failed:", "remote setpoint in counts"},
    {"ADCU 2 7\r", "A 7 barA", "Pressure barA failed:", "pressure unit"},
    {"A0\r", nullptr, nullptr, nullptr},
};

ProcessSetting<SendASCIITimings> gTimings;

} // namespace

bool TAlicatData::Errors(QString& Desc) const
{
    Desc.clear();
    for (int i = 0; i < AlicatErrorCount; ++i) {
        if (ErrorFlags.Contains(TAlicatError(i)))
            Desc += AlicatErrorDescription(TAlicatError(i)) + CRLF;
    }
    Desc = TrimBlanksAndControls(Desc);
    return !Desc.isEmpty();
}

TAlicatMFC::TAlicatMFC() : aPort(std::make_unique<TSerialPort>())
{
    Log();
}

QString TAlicatMFC::PortName() const
{
    return QString::fromLocal8Bit(aPort->Port());
}

bool TAlicatMFC::Initialize(TAlicatInitialize Scheme)
{
    InitializeReport.clear();
    if (Scheme != TAlicatInitialize::TAIBlendorDampor)
        return false;
    QString errors;
    QString firstStatus;
    fInitializeAnswered = false;
    for (const InitializeStep& step : kBlendorDamporSteps) {
        QString status;
        QString reply;
        if (SendASCII(PortName(), QString::fromLatin1(step.command), true, status, reply))
            fInitializeAnswered = true;
        else if (firstStatus.isEmpty())
            firstStatus = status;
        if (!step.expected || reply == QLatin1String(step.expected))
            continue;
        errors += QLatin1String(step.label) + CRLF + status + CRLF + reply + CRLF;
        const QString command = QString::fromLatin1(step.command).trimmed();
        const QString outcome = reply.isEmpty() ? QStringLiteral("got no reply (%1)").arg(status.section(u'\r', 0, 0))
                                                : QStringLiteral("answered \"%1\"").arg(reply);
        InitializeReport << QStringLiteral("%1 %2 %3").arg(QLatin1String(step.label), command, outcome);
        if (IsAlicatErrorReply(reply))
            InitializeReport << QStringLiteral("The controller rejects %1: it has no %2").arg(command, QLatin1String(step.capability));
    }
    if (!fInitializeAnswered)
        LastFailure = {firstStatus, false};
    if (errors.isEmpty())
        return true;
    Log().Send(errors);
    return false;
}

bool TAlicatMFC::ChangeGas(TAlicatData& theData)
{
    if (theData.GasID < kLowestGasID || theData.GasID > kHighestGasID)
        return false;
    if (theData.GasID == GasID)
        return true;
    Log().Send(QStringLiteral("Gas change is necessary"));

    bool result = false;
    for (int attempt = 0; attempt < kGasChangeAttempts && GasID != theData.GasID; ++attempt) {
        Log().Send(QStringLiteral("Apply gas ") + QString::number(theData.GasID));
        TSerialResponse response;
        aPort->Send2(QString(aDeviceID) + QStringLiteral("G ") + QString::number(theData.GasID) + u'\r', true, response);
        if (!response.Status.isEmpty()) {
            result = false;
            Log().Send(QStringLiteral("Gas change failed: ") + response.Status);
        } else {
            result = true;
            GasID = theData.GasID;
        }
    }

    TSerialResponse fullScale;
    aPort->Send2(QString(aDeviceID) + QStringLiteral("FPF 37 67\r"), true, fullScale);
    FullScaleAsked = true;
    FullScaleReply = fullScale.Status.isEmpty() ? fullScale.Response : fullScale.Status;
    if (fullScale.Status.isEmpty()) {
        const AlicatFullScale parsed = ParseAlicatFullScale(fullScale.Response);
        if (parsed.kind == AlicatFullScale::Kind::Read) {
            Log().Send(QStringLiteral("Max flow: ") + parsed.ValueText + u' ' + parsed.UnitText);
            MaxFlow_gpm = parsed.Value;
        } else if (parsed.kind == AlicatFullScale::Kind::NotANumber) {
            Log().Send(QStringLiteral("Max flow unreadable, kept: ") + fullScale.Response);
        }
    }
    return result;
}

bool TAlicatMFC::ReadStatus(TAlicatData& theData)
{
    Log().Send(QStringLiteral("ReadS: ") + PortName());
    TSerialResponse response;
    aPort->Send2(QString(aDeviceID) + u'\r', true, response);
    if (!response.Status.isEmpty()) {
        Log().Send(QStringLiteral("Fail: ") + response.Status);
        LastFailure = {response.Status, false};
        return false;
    }

    const AlicatStatusLine line = ParseAlicatStatusLine(response.Response);
    if (line.kind == AlicatStatusLine::Kind::Malformed) {
        // A garbled reading is no reading: the caller keeps the one it had.
        Log().Send(QStringLiteral("Fail: unreadable number ") + line.BadField + QStringLiteral(" in ")
                   + response.Response);
        LastFailure = {QString(), true, response.Response};
        return false;
    }
    if (line.kind == AlicatStatusLine::Kind::Reading) {
        theData.DataTime = NowDays();
        theData.Pressure = line.Numbers[0];
        theData.Temp = line.Numbers[1];
        theData.FlowRate_vol = line.Numbers[2];
        theData.FlowRate_mass = line.Numbers[3];
        theData.SetpointFromDevice = line.Numbers[4];
        theData.Totalizer = line.Numbers[5];
        theData.GasSN = line.GasLabel;
    }
    if (line.HasStatusFields)
        theData.ErrorFlags = line.ErrorFlags;
    theData.Raw = Role + u':' + response.Response;
    Log().Send(QStringLiteral("ReadS"));
    LastFailure = {};
    return true;
}

bool TAlicatMFC::ApplySetpoint_pct(TAlicatData& theData)
{
    Log().Send(QStringLiteral("Apply setpoint ") + FloatToStr(theData.Setpoint_pct) + QStringLiteral("% on:")
               + PortName());
    const QString rangeNote = SetpointRangeNote(theData.Setpoint_pct);
    if (!rangeNote.isEmpty())
        Log().Send(rangeNote);
    // Nearest count, ties to even (the default rounding mode).
    const double counts = std::nearbyint(SetpointInRange_pct(theData.Setpoint_pct) * kFullScaleCounts / 100);
    TSerialResponse response;
    aPort->Send2(QString(aDeviceID) + QString::number(std::int64_t(counts)) + u'\r', true, response);
    if (!response.Status.isEmpty()) {
        Log().Send(QStringLiteral("Apply setpoint failed: ") + response.Status);
        return false;
    }
    return true;
}

SendASCIITimings CurrentSendASCIITimings()
{
    return gTimings.Get();
}

SendASCIITimings SetSendASCIITimings(const SendASCIITimings& timings)
{
    return gTimings.Set(timings);
}

bool SendASCII(const QString& PortName, const QString& Command, bool WaitForResponse, QString& Status,
               QString& Reply)
{
    QElapsedTimer started;
    started.start();
    const SendASCIITimings timings = CurrentSendASCIITimings();
    TSerialPort port;
    port.SetPort(PortName.toLocal8Bit());
    port.SetBaudRate(19200);
    port.SetDebug(true);
    port.SetWindowsReadLoopTimeoutMS(timings.WindowsReadLoopTimeoutMS);
    port.SetReadoutTimeoutMS(timings.ReadoutTimeoutMS);

    TSerialResponse response;
    response.Init();
    port.Send2(Command + u'\r', WaitForResponse, response);
    Reply = response.Response;
    Status = response.Status;
    if (!Status.isEmpty())
        Log().Send(QStringLiteral("SendASCII return status <>\"\": ") + Status);
    Status += QStringLiteral("\rDuration: ") + DurationText(started.elapsed());
    return response.Status.isEmpty();
}
