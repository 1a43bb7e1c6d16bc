#include "instruments/SerialPort.h"

#include "InstrumentTestSupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kPortInUse = QStringLiteral("Failed to setup Com port, port in use");
const QString kNoWait = QStringLiteral("Exit read/write without waiting for reply");

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.IsOpen()) << host.ErrorText().toStdString();
        port.SetPort(host.PortPath().toLocal8Bit());
        port.SetWindowsReadLoopTimeoutMS(10);
        port.SetReadoutTimeoutMS(300);
    }

    // The host reads on a thread of its own: wait (bounded) until it has n lines.
    QList<QByteArray> WaitForLines(int n)
    {
        QElapsedTimer waited;
        waited.start();
        while (host.ReceivedLines().size() < n && waited.elapsed() < 2000)
            QThread::msleep(2);
        return host.ReceivedLines();
    }

    TSerialResponse Exchange(const QByteArray& message, bool wait = true)
    {
        TSerialResponse result;
        result.Init();
        port.Send2(message, wait, result);
        return result;
    }

    std::shared_ptr<ScriptedProtocol> protocol = std::make_shared<ScriptedProtocol>();
    SimulatorHost host{protocol};
    TSerialPort port;
};

TEST_F(SerialPortTest, PortThatCannotBeOpenedIsReportedAsInUseAndLeavesTheResponse)
{
    QSerialPort holder(host.PortPath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
    protocol->AnswerAlways("A 1\r");

    const QByteArray names[] = {"/dev/pts/99999", "ttyTessalyMissing", "", host.PortPath().toLocal8Bit()};
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.toStdString());
        port.SetPort(name);
        TSerialResponse result;
        result.Init();
        result.Response = QStringLiteral("earlier");
        port.Send2(QByteArray("A\r"), true, result);
        EXPECT_EQ(result.Status, kPortInUse);
        EXPECT_EQ(result.Response, QStringLiteral("earlier"));
        EXPECT_EQ(result.SentMessage, QByteArray("A\r"));

        TSerialResponse data;
        data.Init();
        const std::uint8_t bytes[] = {1, 3, 13};
        port.SendData(bytes, 3, true, data);
        EXPECT_EQ(data.Status, kPortInUse);
    }

    holder.close();
    const TSerialResponse result = Exchange("A\r");
    EXPECT_EQ(result.Status, QString());
    EXPECT_EQ(result.Response, QStringLiteral("A 1"));
}

TEST_F(SerialPortTest, SilentInstrumentTimesOutAfterTheReadoutTimePlusAtMostOnePoll)
{
    port.SetWindowsReadLoopTimeoutMS(20);
    port.SetReadoutTimeoutMS(150);
    TSerialResponse result;
    result.Init();
    result.Response = QStringLiteral("earlier");
    QElapsedTimer timer;
    timer.start();
    port.Send2(QByteArray("A\r"), true, result);
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(result.Status, QStringLiteral("Timeout while waiting for response, exiting"));
    EXPECT_EQ(result.Response, QString());
    EXPECT_GE(elapsed, 150);
    EXPECT_LT(elapsed, 150 + 20 + 150); // generous slack for a loaded machine

    TSerialResponse data;
    data.Init();
    const std::uint8_t bytes[] = {1, 3, 13};
    port.SendData(bytes, 3, true, data);
    EXPECT_EQ(data.Status, QStringLiteral("Timeout while waiting for response"));
    EXPECT_EQ(data.Response, QString());
}

TEST_F(SerialPortTest, ReplyIsTrimmedOfControlsAndReadThroughWindows1252)
{
    const struct {
        QByteArray reply;
        QString expected;
    } cases[] = {
        {"A 1\x03\r\n", QStringLiteral("A 1")},
        {"\x02 /0`\x03\r\n", QStringLiteral("/0`")},
        {"/0\x91\x03\r\n", QStringLiteral("/0") + QChar(0x2018)},
        {"\x80 \xe9\xa0\r", QChar(0x20AC) + QStringLiteral(" ") + QChar(0xE9) + QChar(0xA0)},
        {"A\tB\r", QStringLiteral("A\tB")},
        {"\r\n", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toHex().toStdString());
        protocol->AnswerAlways(c.reply);
        const TSerialResponse result = Exchange("A\r");
        EXPECT_EQ(result.Status, QString());
        EXPECT_EQ(result.Response, c.expected);
    }
}

TEST_F(SerialPortTest, LongReplyIsCutAt80BytesAndItsRestDoesNotReachTheNextExchange)
{
    QByteArray longReply;
    for (int i = 0; i < 10; ++i)
        longReply += "0123456789";
    protocol->SetScript([longReply](const QByteArray& line) {
        return SimulatorReply{line == "long" ? longReply + "\r" : QByteArray("short\r"), 0};
    });

    const TSerialResponse cut = Exchange("long\r");
    EXPECT_EQ(cut.Status, QString());
    EXPECT_EQ(cut.Response, QString::fromLatin1(longReply.left(80)));

    const TSerialResponse next = Exchange("next\r");
    EXPECT_EQ(next.Response, QStringLiteral("short"));
}

TEST_F(SerialPortTest, TextIsSentThroughWindows1252)
{
    protocol->AnswerAlways("ok\r");
    TSerialResponse result;
    result.Init();
    port.Send2(QStringLiteral("\u00e9\u20ac\u2018\u03a9x\r"), true, result);
    EXPECT_EQ(result.Status, QString());
    EXPECT_EQ(result.SentMessage, QByteArray("\xe9\x80\x91?x\r"));
    EXPECT_EQ(WaitForLines(1).value(0), QByteArray("\xe9\x80\x91?x"));
}

TEST_F(SerialPortTest, ExchangesWithoutWaitingReportDifferentStatuses)
{
    protocol->AnswerAlways("ignored\r");
    TSerialResponse text;
    text.Init();
    text.Response = QStringLiteral("earlier");
    port.Send2(QByteArray("A1\r"), false, text);
    EXPECT_EQ(text.Status, kNoWait);
    EXPECT_EQ(text.Response, QString());

    TSerialResponse data;
    data.Init();
    const std::uint8_t bytes[] = {'A', '2', '\r'};
    port.SendData(bytes, 3, false, data);
    EXPECT_EQ(data.Status, QString());
    EXPECT_EQ(data.ResponseLength, 0);

    EXPECT_EQ(WaitForLines(2), (QList<QByteArray>{"A1", "A2"}));
}

TEST_F(SerialPortTest, SendDataFillsTheRawReplyAndTheFirstTwoRegistersOfALongEnoughOne)
{
    const struct {
        QByteArray reply;
        std::int32_t first;
        std::int32_t second;
    } cases[] = {
        {QByteArray("\x01\x03\x04\x00\x2a\x01", 6), -1, -1},
        {QByteArray("\x01\x03\x04\x00\x2a\x01\x00", 7), 42, 256},
        {QByteArray("\x01\x03\x04\xff\xfe\x80\x01\x99\x42", 9), 65534, 32769},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toHex().toStdString());
        protocol->AnswerAlways(c.reply);
        TSerialResponse result;
        result.Init();
        const std::uint8_t request[] = {1, 3, 0, 0, 0, 2, '\r'};
        port.SendData(request, int(sizeof request), true, result);
        EXPECT_EQ(result.Status, QString());
        ASSERT_EQ(result.ResponseLength, c.reply.size());
        for (int i = 0; i < c.reply.size(); ++i)
            EXPECT_EQ(result.rArray[std::size_t(i)], static_cast<std::uint8_t>(c.reply[i])) << i;
        EXPECT_EQ(result.Response, Windows1252ToText(c.reply));
        EXPECT_EQ(result.ValueOfFirstWord, c.first);
        EXPECT_EQ(result.ValueOfSecondWord, c.second);
    }
}

TEST_F(SerialPortTest, SendDataDebugTraceHasNineCheckpointsOnlyWhenAskedFor)
{
    protocol->AnswerAlways(QByteArray("\x01\x03\x00", 3));
    const std::uint8_t request[] = {1, 3, '\r'};
    TSerialResponse result;
    result.Init();
    port.SendData(request, 3, true, result);
    EXPECT_EQ(port.DebugMSG(), QString());

    port.SetDebug(true);
    port.SendData(request, 3, true, result);
    const QStringList lines = port.DebugMSG().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 10) << port.DebugMSG().toStdString();
    EXPECT_EQ(lines.last(), QString());
    const QRegularExpression format(QStringLiteral(R"(^Time  (\d): \d\d:\d\d:\d\d\.\d\d\d$)"));
    for (int i = 0; i < 9; ++i) {
        const auto match = format.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
    }

    // A failed exchange keeps the trace up to the failing step.
    port.SetPort("/dev/pts/99999");
    port.SendData(request, 3, true, result);
    EXPECT_EQ(port.DebugMSG().count(QStringLiteral("Time  ")), 3);
}

TEST_F(SerialPortTest, ExchangeLogsItsStepsInOrder)
{
    protocol->AnswerAlways("A +014.70\r");
    LogCapture log(QStringLiteral("SerialPort"));
    const TSerialResponse result = Exchange("A\r");
    ASSERT_EQ(result.Status, QString());

    QStringList lines = log.Lines();
    lines.removeAll(QStringLiteral("Initialization"));
    ASSERT_GE(lines.size(), 7); // at least one poll line: the reply may be seen at the first poll
    EXPECT_EQ(lines[0], QStringLiteral("PortName: ") + host.PortPath());
    EXPECT_EQ(lines[1], QStringLiteral("Bytes written: 2"));
    EXPECT_EQ(lines[2], QStringLiteral("As string: A"));
    EXPECT_EQ(lines[3], QStringLiteral("As ordinals: 65 13 "));
    for (qsizetype i = 4; i < lines.size() - 2; ++i)
        EXPECT_EQ(lines[i], QStringLiteral("Waiting for data or timeout"));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Data read: A +014.70"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^Duration:\d\d:\d\d\d$)")).match(lines.last()).hasMatch())
        << lines.last().toStdString();

    const TSerialResponse noWait = Exchange("B\r", false);
    EXPECT_EQ(log.Lines().last(), kNoWait);
}

TEST_F(SerialPortTest, ReplyIsReadOnlyAfterTheSleepThatFollowsTheSightOfIt)
{
    // Reply after 40 ms, polls every 100 ms, read-out 150 ms: the reply is first seen at the
    // second poll (t=100), the sleep after it passes the deadline ("Timeout"), and it is read.
    port.SetWindowsReadLoopTimeoutMS(100);
    port.SetReadoutTimeoutMS(150);
    protocol->AnswerAlways("late\r", 40);
    LogCapture log(QStringLiteral("SerialPort"));
    QElapsedTimer timer;
    timer.start();
    const TSerialResponse result = Exchange("A\r");
    const qint64 elapsed = timer.elapsed();

    EXPECT_EQ(result.Status, QString());
    EXPECT_EQ(result.Response, QStringLiteral("late"));
    EXPECT_TRUE(log.Lines().contains(QStringLiteral("Timeout")));
    EXPECT_EQ(log.Lines().count(QStringLiteral("Waiting for data or timeout")), 2);
    EXPECT_GE(elapsed, 200);
}

TEST_F(SerialPortTest, DefaultTimingsPaceAnExchangeByTheThirdOfASecondPoll)
{
    TSerialPort fresh;
    EXPECT_EQ(fresh.WindowsReadLoopTimeoutMS(), 333u);
    EXPECT_EQ(fresh.ReadoutTimeoutMS(), 1000u);
    EXPECT_EQ(fresh.BaudRate(), 9600);
    EXPECT_EQ(fresh.StopBits(), 0);
    EXPECT_EQ(fresh.Parity(), 0);
    EXPECT_FALSE(fresh.Debug());
    EXPECT_EQ(fresh.Port(), QByteArray());

    fresh.SetPort(host.PortPath().toLocal8Bit());
    protocol->AnswerAlways("A 1\r");
    TSerialResponse result;
    result.Init();
    QElapsedTimer timer;
    timer.start();
    fresh.Send2(QByteArray("A\r"), true, result);
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(result.Response, QStringLiteral("A 1"));
    // Seen at the second poll at the latest, read one interval later.
    EXPECT_GE(elapsed, 333);
    EXPECT_LT(elapsed, 1000);
}

TEST_F(SerialPortTest, InstalledDefaultsPaceTransportsCreatedAfterwards)
{
    TSerialPort before;
    const TSerialPortDefaults previous = SetSerialPortDefaults({5, 150});
    EXPECT_EQ(previous.WindowsReadLoopTimeoutMS, 333u);
    EXPECT_EQ(previous.ReadoutTimeoutMS, 1000u);

    TSerialPort after;
    EXPECT_EQ(after.WindowsReadLoopTimeoutMS(), 5u);
    EXPECT_EQ(after.ReadoutTimeoutMS(), 150u);
    EXPECT_EQ(before.WindowsReadLoopTimeoutMS(), 333u);
    EXPECT_EQ(before.ReadoutTimeoutMS(), 1000u);

    // A silent instrument now costs the short read-out, not the default second.
    after.SetPort(host.PortPath().toLocal8Bit());
    TSerialResponse result;
    result.Init();
    QElapsedTimer timer;
    timer.start();
    after.Send2(QByteArray("A\r"), true, result);
    EXPECT_EQ(result.Status, QStringLiteral("Timeout while waiting for response, exiting"));
    EXPECT_LT(timer.elapsed(), 600);

    const TSerialPortDefaults fast = SetSerialPortDefaults(previous);
    EXPECT_EQ(fast.WindowsReadLoopTimeoutMS, 5u);
    EXPECT_EQ(TSerialPort().ReadoutTimeoutMS(), 1000u);
}

TEST_F(SerialPortTest, LineSettingsFollowTheBaudParityAndStopBitCodes)
{
    // A pseudo-terminal keeps the speed, odd/even and stop-bit flags it is given, but clears
    // the parity enable bit and refuses even parity; the rows stay within what it shows.
    const struct {
        std::int32_t baud;
        std::int32_t parity;
        std::int32_t stopBits;
        speed_t speed;
        bool odd;
        bool twoStopBits;
    } cases[] = {
        {19200, 0, 0, B19200, false, false},
        {9600, 1, 2, B9600, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parity);
        port.SetBaudRate(c.baud);
        port.SetParity(c.parity);
        port.SetStopBits(c.stopBits);
        // Look at the line while the exchange holds it: the reply comes late enough.
        protocol->AnswerAlways("ok\r", 200);
        termios seen{};
        bool sampled = false;
        // Samples until the exchange has set the line up (the open may be slow on a busy
        // machine) or the reply is due; the last sample is checked.
        std::thread watcher([&] {
            for (int waited = 0; waited < 180; waited += 5) {
                QThread::msleep(5);
                const int fd = ::open(host.PortPath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
                if (fd < 0)
                    continue;
                sampled = tcgetattr(fd, &seen) == 0;
                ::close(fd);
                if (sampled && cfgetospeed(&seen) == c.speed)
                    break;
            }
        });
        const TSerialResponse result = Exchange("A\r");
        watcher.join();
        EXPECT_EQ(result.Status, QString());
        if (!sampled)
            continue; // the exclusive open kept the watcher out (not running as root)
        EXPECT_EQ(cfgetospeed(&seen), c.speed);
        EXPECT_EQ(seen.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ((seen.c_cflag & PARODD) != 0, c.odd);
        EXPECT_EQ((seen.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(seen.c_cflag & CRTSCTS, tcflag_t(0));
        EXPECT_EQ(seen.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    for (const auto& [parity, stopBits] : {std::pair{5, 0}, std::pair{-1, 0}, std::pair{0, 3}}) {
        port.SetParity(parity);
        port.SetStopBits(stopBits);
        EXPECT_EQ(Exchange("A\r").Status, kPortInUse) << parity << " " << stopBits;
    }
}

TEST(SerialTextTest, Windows1252DecodesTheHighControlsAndRoundTripsEveryByte)
{
    EXPECT_EQ(Windows1252ToText("\x91\x92\x80\x99\x81"),
              QString(QChar(0x2018)) + QChar(0x2019) + QChar(0x20AC) + QChar(0x2122) + QChar(0x81));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(TextToWindows1252(Windows1252ToText(all)), all);
    EXPECT_EQ(TextToWindows1252(QStringLiteral("\u03a9\u4e2d") + QString::fromUcs4(U"\U0001F600")), QByteArray("???"));
}

TEST(SerialTextTest, TrimRemovesOnlyCharactersUpToBlank)
{
    EXPECT_EQ(TrimBlanksAndControls(QStringLiteral("\x02 A 1 \x03\r\n")), QStringLiteral("A 1"));
    EXPECT_EQ(TrimBlanksAndControls(QString(QChar(0xA0)) + QStringLiteral("A") + QChar(0xA0)),
              QString(QChar(0xA0)) + QStringLiteral("A") + QChar(0xA0));
    EXPECT_EQ(TrimBlanksAndControls(QStringLiteral("\r\n\t ")), QString());
    EXPECT_EQ(TrimBlanksAndControls(QString()), QString());
}

TEST(SerialTextTest, DurationShowsSecondsOfTheMinuteAndMilliseconds)
{
    EXPECT_EQ(DurationText(0), QStringLiteral("00:000"));
    EXPECT_EQ(DurationText(2345), QStringLiteral("02:345"));
    EXPECT_EQ(DurationText(61007), QStringLiteral("01:007"));
}

TEST(SerialPortListTest, PortNamesAreSortedCaseInsensitively)
{
    EXPECT_EQ(SortedPortNames({"COM2", "COM10", "com3", "COM1"}), (QStringList{"COM1", "COM10", "COM2", "com3"}));
    EXPECT_EQ(SortedPortNames({"ttyUSB0", "ttyS1", "ttyS0"}), (QStringList{"ttyS0", "ttyS1", "ttyUSB0"}));
    const QStringList listed = ListComPorts();
    EXPECT_EQ(listed, SortedPortNames(listed));
    EXPECT_FALSE(listed.contains(QString()));
}

} // namespace
