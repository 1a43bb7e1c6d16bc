#pragma once
// The one piece of code that touches a serial port. Each exchange opens the named port
// exclusively, sets up the line, writes one message, optionally waits for and reads the
// reply, and closes the port again; every failure is reported in the result's Status text.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class QSerialPort;

// The result of one exchange. Exchanges write only the fields they name and leave the rest
// as the caller had them: start from a fresh record or call Init() first.
struct TSerialResponse {
    QByteArray SentMessage;
    QString Response; // one character per received byte (Windows-1252)
    double rDouble = 0;
    std::array<std::uint8_t, 256> rArray{};
    std::array<std::uint16_t, 16> WordArray{};
    std::int32_t ValueOfFirstWord = 0;
    std::int32_t ValueOfSecondWord = 0;
    QString Status; // empty on success
    std::uint8_t ResponseLength = 0;
    QString AsHex;
    QString AsInt;
    float AsFloat = 0;
    std::int32_t AsInteger = 0;
    QString AsString;

    void Init();
};

// The poll interval and read-out time a new TSerialPort starts with: 333 and 1000 ms, the
// instruments' pace. Process-wide, so tests and simulated runs can make every transport
// created from then on faster, including those that drivers make for themselves.
struct TSerialPortDefaults {
    std::uint32_t WindowsReadLoopTimeoutMS = 333;
    std::uint32_t ReadoutTimeoutMS = 1000;
};
TSerialPortDefaults SerialPortDefaults();
// Installs the defaults for transports created from now on; returns the previous ones.
TSerialPortDefaults SetSerialPortDefaults(const TSerialPortDefaults& defaults);

class TSerialPort : public QObject {
    Q_OBJECT
public:
    explicit TSerialPort(QObject* aOwner = nullptr);

    bool Debug() const { return fDebug; }
    void SetDebug(bool value) { fDebug = value; }
    QString DebugMSG() const { return fDebugMSG; }
    // A name as the system lists it (COM3, ttyUSB0) or an absolute device path (/dev/pts/5).
    QByteArray Port() const { return fPort; }
    void SetPort(const QByteArray& value) { fPort = value; }
    std::uint32_t WindowsReadLoopTimeoutMS() const { return fWindowsReadLoopTimeoutMS; }
    void SetWindowsReadLoopTimeoutMS(std::uint32_t value) { fWindowsReadLoopTimeoutMS = value; }
    std::uint32_t ReadoutTimeoutMS() const { return fReadoutTimeoutMS; }
    void SetReadoutTimeoutMS(std::uint32_t value) { fReadoutTimeoutMS = value; }
    std::int32_t BaudRate() const { return fBaudRate; }
    void SetBaudRate(std::int32_t value) { fBaudRate = value; }
    std::int32_t StopBits() const { return fStopBits; }
    void SetStopBits(std::int32_t value) { fStopBits = value; }
    std::int32_t Parity() const { return fParity; }
    void SetParity(std::int32_t value) { fParity = value; }

    // Text exchange used by every driver; fills SentMessage, Response and Status of Result.
    void Send2(const QByteArray& aMessage, bool WaitForResponse, TSerialResponse& Result);
    // Converts the text to 8-bit (Windows-1252) and sends it as above.
    void Send2(const QString& aMessage, bool WaitForResponse, TSerialResponse& Result);
    // Raw-bytes exchange for register-style replies.
    void SendData(const std::uint8_t* Data, int dataSize, bool WaitForResponse, TSerialResponse& Result);

private:
    // The three line-setup steps on an open port; each false when the system refuses.
    bool SetDCBState(QSerialPort& ComDevice) const;
    bool SetTimeOuts(QSerialPort& ComDevice) const;
    bool SetBuffers(QSerialPort& ComDevice) const;
    // Opens the port exclusively and sets up the line; on failure Status gets the step's text.
    bool OpenAndSetUp(QSerialPort& ComDevice, QString& Status) const;

    bool fDebug = false;
    QString fDebugMSG;
    QByteArray fPort;
    std::uint32_t fWindowsReadLoopTimeoutMS;
    std::uint32_t fReadoutTimeoutMS;
    std::int32_t fBaudRate = 9600;
    std::int32_t fStopBits = 0;
    std::int32_t fParity = 0;
};

// The serial ports the system knows, sorted case-insensitively (COM1, COM10, COM2).
QStringList ListComPorts();
// Sorts port names the way ListComPorts returns them.
QStringList SortedPortNames(QStringList names);

// Bytes on the wire and text, through the Windows-1252 code page on every platform, so a
// received 0x91 is U+2018 here as it is on the instruments' home platform. Bytes that code
// page leaves undefined map to the control character of the same number; text it cannot
// represent is sent as '?'.
QString Windows1252ToText(const QByteArray& bytes);
QByteArray TextToWindows1252(const QString& text);

// Removes leading and trailing characters at or below U+0020 (blanks, CR, LF, ETX, ...).
// Unlike QString::trimmed it keeps U+00A0 and the other Unicode spaces.
QString TrimBlanksAndControls(const QString& text);

// Elapsed milliseconds as "ss:zzz" (seconds of the minute, milliseconds), as the exchange
// log lines show a duration.
QString DurationText(qint64 milliseconds);
