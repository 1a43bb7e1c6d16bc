#include "instruments/SerialPort.h"

#include "core/Clock.h"
#include "core/DiagnosticLog.h"
#include "core/ProcessSetting.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>
#include <algorithm>
#include <limits>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::SerialPort);
    return log;
}

const QString kSetupFailed = QStringLiteral("Failed to setup Com port, port in use");
const QString kTimeoutsFailed = QStringLiteral("Failed to setup Com port timeouts");
const QString kBuffersFailed = QStringLiteral("Failed to setup Com port buffer size");
const QString kWriteFailed = QStringLiteral("Failed to write to Com port");
const QString kReadFailed = QStringLiteral("Failed to read from Com port");
const QString kNoWait = QStringLiteral("Exit read/write without waiting for reply");
const QString kUnknownProblem = QStringLiteral("Unknown problem reading serial port");

// Line timing, as a serial driver's time-outs would be set: a read ends when no byte follows
// the previous one within the interval, or when the total for the requested count is used
// up; a write gets a per-byte allowance on top of a constant.
constexpr qint64 kReadIntervalMS = 20;
constexpr qint64 kReadTotalPerByteMS = 10;
constexpr qint64 kReadTotalConstantMS = 200;
constexpr qint64 kWriteTotalPerByteMS = 10;
constexpr qint64 kWriteTotalConstantMS = 1000;
constexpr qint32 kQueueSize = 4096;

constexpr int kSend2ReplyBytes = 80;
constexpr int kSendDataReplyBytes = 256;

// Bytes 0x80-0x9F of Windows-1252; the five undefined ones keep their own number.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// What is left of a deadline as a wait argument (Qt takes an int of milliseconds).
int RemainingMS(const QDeadlineTimer& deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, std::numeric_limits<int>::max()));
}

bool IsIgnorableError(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::NoError || error == QSerialPort::TimeoutError;
}

// Sleeps for ms while pulling whatever arrives into the port's queue, noting when the last
// byte came. The sleep always lasts ms: the caller's pacing does not change, but the read
// that follows can tell a finished reply from one still coming in.
void SleepWatching(QSerialPort& com, qint64 ms, QElapsedTimer& lastArrival)
{
    QDeadlineTimer until(ms);
    while (!until.hasExpired()) {
        if (com.waitForReadyRead(RemainingMS(until))) {
            lastArrival.start();
            continue;
        }
        const bool failed = !IsIgnorableError(com.error());
        com.clearError();
        if (failed || !until.hasExpired()) {
            // The port cannot be watched (gone, or its queue is full): sleep out the rest.
            QThread::msleep(RemainingMS(until));
            break;
        }
    }
}

// Whether the receive queue holds at least one byte; clears the port's error state.
bool BytesWaiting(QSerialPort& com, QElapsedTimer& lastArrival)
{
    if (com.waitForReadyRead(0))
        lastArrival.start();
    com.clearError();
    return com.bytesAvailable() > 0;
}

// Reads up to maxBytes. The read ends at a gap of kReadIntervalMS after the last byte, or
// when the total allowance for maxBytes has passed; bytes beyond maxBytes stay unread and
// are dropped with the port. The gap is counted from the arrival of the last byte, so a
// reply that came in during the poll sleep is taken at once.
bool ReadReply(QSerialPort& com, int maxBytes, QElapsedTimer& lastArrival, QByteArray& bytes)
{
    QDeadlineTimer total(kReadTotalPerByteMS * maxBytes + kReadTotalConstantMS);
    bytes.clear();
    while (bytes.size() < maxBytes) {
        if (com.bytesAvailable() > 0) {
            bytes += com.read(maxBytes - bytes.size());
            continue;
        }
        qint64 wait = total.remainingTime();
        if (!bytes.isEmpty() && lastArrival.isValid())
            wait = std::min(wait, kReadIntervalMS - lastArrival.elapsed());
        if (wait <= 0)
            break;
        if (com.waitForReadyRead(int(wait))) {
            lastArrival.start();
            continue;
        }
        const bool failed = !IsIgnorableError(com.error());
        com.clearError();
        if (failed)
            return false;
    }
    return true;
}

bool WriteAll(QSerialPort& com, const char* data, qint64 size)
{
    if (size == 0)
        return true;
    if (com.write(data, size) != size)
        return false;
    QDeadlineTimer deadline(kWriteTotalPerByteMS * size + kWriteTotalConstantMS);
    while (com.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !com.waitForBytesWritten(std::max(RemainingMS(deadline), 1)))
            return false;
    }
    return true;
}

QString Ordinals(const QByteArray& bytes)
{
    QString text;
    for (char c : bytes)
        text += QString::number(static_cast<unsigned char>(c)) + u' ';
    return text;
}

QString PortNameText(const QByteArray& port) { return QString::fromLocal8Bit(port); }

} // namespace

void TSerialResponse::Init()
{
    SentMessage.clear();
    Response.clear();
    rDouble = -1.0;
    ValueOfFirstWord = -1;
    ValueOfSecondWord = -1;
    Status.clear();
    ResponseLength = 0;
    AsHex.clear();
    AsInt.clear();
    AsFloat = -1.0f;
    AsInteger = -1;
    AsString.clear();
}

namespace {
ProcessSetting<TSerialPortDefaults> gDefaults;
}

TSerialPortDefaults SerialPortDefaults()
{
    return gDefaults.Get();
}

TSerialPortDefaults SetSerialPortDefaults(const TSerialPortDefaults& defaults)
{
    return gDefaults.Set(defaults);
}

TSerialPort::TSerialPort(QObject* aOwner) : QObject(aOwner)
{
    Log();
    const TSerialPortDefaults defaults = SerialPortDefaults();
    fWindowsReadLoopTimeoutMS = defaults.WindowsReadLoopTimeoutMS;
    fReadoutTimeoutMS = defaults.ReadoutTimeoutMS;
}

bool TSerialPort::SetDCBState(QSerialPort& ComDevice) const
{
    if (!ComDevice.isOpen())
        return false;
    QSerialPort::Parity parity;
    switch (fParity) {
    case 0: parity = QSerialPort::NoParity; break;
    case 1: parity = QSerialPort::OddParity; break;
    case 2: parity = QSerialPort::EvenParity; break;
    case 3: parity = QSerialPort::MarkParity; break;
    case 4: parity = QSerialPort::SpaceParity; break;
    default: return false;
    }
    QSerialPort::StopBits stopBits;
    switch (fStopBits) {
    case 0: stopBits = QSerialPort::OneStop; break;
    case 1: stopBits = QSerialPort::OneAndHalfStop; break;
    case 2: stopBits = QSerialPort::TwoStop; break;
    default: return false;
    }
    if (fBaudRate <= 0)
        return false;
    const bool set = ComDevice.setBaudRate(fBaudRate) && ComDevice.setDataBits(QSerialPort::Data8)
                     && ComDevice.setParity(parity) && ComDevice.setStopBits(stopBits)
                     && ComDevice.setFlowControl(QSerialPort::NoFlowControl);
    if (!set)
        return false;
    // Some instruments draw power from or listen to the modem lines, so both are raised. A
    // line without them (a USB adapter without handshake, a pseudo-terminal) refuses, which
    // leaves the port as usable as before.
    ComDevice.setDataTerminalReady(true);
    ComDevice.setRequestToSend(true);
    ComDevice.clearError();
    return true;
}

bool TSerialPort::SetTimeOuts(QSerialPort& ComDevice) const
{
    // The read and write time-outs are applied by this class around each wait (see
    // ReadReply and WriteAll); the port only has to be usable.
    return ComDevice.isOpen();
}

bool TSerialPort::SetBuffers(QSerialPort& ComDevice) const
{
    if (!ComDevice.isOpen())
        return false;
    ComDevice.setReadBufferSize(kQueueSize);
    // Fresh queues for every exchange: a late reply to an earlier command, left over while
    // the port was closed, must not pass for the reply to this one.
    return ComDevice.clear(QSerialPort::AllDirections);
}

bool TSerialPort::OpenAndSetUp(QSerialPort& ComDevice, QString& Status) const
{
    ComDevice.setPortName(PortNameText(fPort));
    const bool opened = !fPort.isEmpty() && ComDevice.open(QIODevice::ReadWrite);
    if (!opened || !SetDCBState(ComDevice)) {
        Status = kSetupFailed;
        return false;
    }
    if (!SetTimeOuts(ComDevice)) {
        Status = kTimeoutsFailed;
        return false;
    }
    if (!SetBuffers(ComDevice)) {
        Status = kBuffersFailed;
        return false;
    }
    return true;
}

void TSerialPort::Send2(const QByteArray& aMessage, bool WaitForResponse, TSerialResponse& Result)
{
    QElapsedTimer started;
    started.start();
    Result.SentMessage = aMessage;

    // Lives on the calling thread and only for this exchange; its destructor closes the port
    // on every path below.
    QSerialPort com;
    if (!OpenAndSetUp(com, Result.Status))
        return;
    Log().Send(QStringLiteral("PortName: ") + PortNameText(fPort));

    if (!WriteAll(com, aMessage.constData(), aMessage.size())) {
        Result.Status = kWriteFailed;
        return;
    }
    Result.SentMessage = aMessage;
    Log().Send(QStringLiteral("Bytes written: ") + QString::number(aMessage.size()));
    Log().Send(QStringLiteral("As string: ") + TrimBlanksAndControls(Windows1252ToText(aMessage)));
    Log().Send(QStringLiteral("As ordinals: ") + Ordinals(aMessage));

    if (!WaitForResponse) {
        Log().Send(kNoWait);
        Result.Status = kNoWait;
        Result.Response.clear();
        return;
    }

    // Poll the queue, then sleep a poll interval. Bytes seen at a poll are read only after
    // that poll's sleep, so a reply is never read sooner than one interval after it was seen,
    // and one seen at the last poll before the deadline is still read.
    QElapsedTimer lastArrival;
    QDeadlineTimer deadline{qint64(fReadoutTimeoutMS)};
    bool seen = false;
    while (true) {
        Log().Send(QStringLiteral("Waiting for data or timeout"));
        seen = BytesWaiting(com, lastArrival);
        SleepWatching(com, fWindowsReadLoopTimeoutMS, lastArrival);
        if (deadline.hasExpired()) {
            Log().Send(QStringLiteral("Timeout"));
            break;
        }
        if (seen)
            break;
    }
    if (!seen) {
        Result.Response.clear();
        Result.Status = QStringLiteral("Timeout while waiting for response, exiting");
        Log().Send(Result.Status);
        return;
    }

    QByteArray bytes;
    if (!ReadReply(com, kSend2ReplyBytes, lastArrival, bytes)) {
        Result.Status = kReadFailed;
        Log().Send(Result.Status);
        return;
    }
    Result.Response = TrimBlanksAndControls(Windows1252ToText(bytes));
    Log().Send(QStringLiteral("Data read: ") + Result.Response);
    Log().Send(QStringLiteral("Duration:") + DurationText(started.elapsed()));
}

void TSerialPort::Send2(const QString& aMessage, bool WaitForResponse, TSerialResponse& Result)
{
    Send2(TextToWindows1252(aMessage), WaitForResponse, Result);
}

void TSerialPort::SendData(const std::uint8_t* Data, int dataSize, bool WaitForResponse, TSerialResponse& Result)
{
    fDebugMSG.clear();
    auto checkpoint = [this](int n) {
        if (fDebug)
            fDebugMSG += QStringLiteral("Time  %1: ").arg(n) + ClockNow().time().toString(QStringLiteral("hh:mm:ss.zzz"))
                         + QStringLiteral("\r\n");
    };
    checkpoint(1);
    Result.Status = kUnknownProblem;
    Result.ResponseLength = 0;

    QSerialPort com;
    com.setPortName(PortNameText(fPort));
    const bool opened = !fPort.isEmpty() && com.open(QIODevice::ReadWrite);
    checkpoint(2);
    const bool lineSet = opened && SetDCBState(com);
    checkpoint(3);
    if (!lineSet) {
        Result.Status = kSetupFailed;
        return;
    }
    const bool timeoutsSet = SetTimeOuts(com);
    checkpoint(4);
    if (!timeoutsSet) {
        Result.Status = kTimeoutsFailed;
        return;
    }
    const bool buffersSet = SetBuffers(com);
    checkpoint(5);
    if (!buffersSet) {
        Result.Status = kBuffersFailed;
        return;
    }

    const qint64 size = Data && dataSize > 0 ? dataSize : 0;
    const bool written = WriteAll(com, reinterpret_cast<const char*>(Data), size);
    checkpoint(6);
    if (!written) {
        Result.Status = kWriteFailed;
        return;
    }
    if (!WaitForResponse) {
        Result.Response.clear();
        Result.Status.clear();
        return;
    }

    QElapsedTimer lastArrival;
    SleepWatching(com, fWindowsReadLoopTimeoutMS, lastArrival);
    checkpoint(7);
    QDeadlineTimer deadline{qint64(fReadoutTimeoutMS)};
    bool seen = false;
    while (!deadline.hasExpired() && !seen) {
        seen = BytesWaiting(com, lastArrival);
        SleepWatching(com, fWindowsReadLoopTimeoutMS, lastArrival);
    }
    checkpoint(8);
    if (!seen) {
        Result.Response.clear();
        Result.Status = QStringLiteral("Timeout while waiting for response");
        return;
    }

    QByteArray bytes;
    if (!ReadReply(com, kSendDataReplyBytes, lastArrival, bytes)) {
        Result.Status = kReadFailed;
        return;
    }
    std::copy(bytes.cbegin(), bytes.cend(), Result.rArray.begin());
    Result.Response = Windows1252ToText(bytes);
    Result.Status.clear();
    // One byte wide: a full 256-byte reply reads as 0.
    Result.ResponseLength = std::uint8_t(bytes.size());
    checkpoint(9);
    if (bytes.size() >= 7) {
        // A register-read reply: address, function, byte count, then the registers big-endian.
        const auto byte = [&bytes](int i) { return std::int32_t(static_cast<unsigned char>(bytes[i])); };
        Result.ValueOfFirstWord = byte(3) * 256 + byte(4);
        Result.ValueOfSecondWord = byte(5) * 256 + byte(6);
    }
}

QStringList ListComPorts()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!info.portName().isEmpty())
            names << info.portName();
    }
    return SortedPortNames(names);
}

QStringList SortedPortNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString Windows1252ToText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArray TextToWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (char32_t code : text.toUcs4()) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes += char(code);
            continue;
        }
        const auto* found = std::find(std::begin(kCp1252High), std::end(kCp1252High), code);
        bytes += found != std::end(kCp1252High) ? char(0x80 + (found - std::begin(kCp1252High))) : '?';
    }
    return bytes;
}

QString TrimBlanksAndControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

QString DurationText(qint64 milliseconds)
{
    const qint64 ms = std::max<qint64>(milliseconds, 0);
    return QStringLiteral("%1:%2")
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}
