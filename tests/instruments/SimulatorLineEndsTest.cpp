#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"

#include <QElapsedTimer>
#include <functional>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

TEST(SimulatorLineEnds, CrLfAndCrLfEachEndOneLine)
{
    const struct {
        const char* name;
        QList<QByteArray> chunks;
        QList<QByteArray> lines;
    } cases[] = {
        {"CR", {"A\rB\r"}, {"A", "B"}},
        {"LF", {"A\nB\n"}, {"A", "B"}},
        {"CR LF", {"A\r\nB\r\n"}, {"A", "B"}},
        {"CR LF split between reads", {"A\r", "\nB\r", "\n"}, {"A", "B"}},
        {"CR CR of the command sender", {"A\r\r"}, {"A", ""}},
        {"LF LF", {"A\n\n"}, {"A", ""}},
        {"LF CR", {"A\n\r"}, {"A", ""}},
        {"unfinished", {"A\rB"}, {"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineSplitter splitter;
        QList<QByteArray> lines;
        for (const QByteArray& chunk : c.chunks)
            lines += splitter.Take(chunk);
        EXPECT_EQ(lines, c.lines);
    }
}

// A client on the simulator's pseudo-terminal, as a terminal program or another driver is.
class RawClient {
public:
    explicit RawClient(const QString& path) : fFd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY)) {}
    ~RawClient()
    {
        if (fFd >= 0)
            ::close(fFd);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool IsOpen() const { return fFd >= 0; }
    bool Write(const QByteArray& bytes) { return ::write(fFd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }
    // Reads until the bytes received hold `count` times `end`, or two seconds have passed.
    QByteArray ReadReplies(const QByteArray& end, qsizetype count)
    {
        QByteArray received;
        QElapsedTimer waited;
        waited.start();
        while (received.count(end) < count && waited.elapsed() < 2000) {
            pollfd wait{fFd, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(fFd, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, n);
        }
        return received;
    }

private:
    int fFd;
};

TEST(SimulatorLineEnds, BothInstrumentsAnswerEveryCommandWhateverTheLineEnd)
{
    const struct {
        const char* name;
        QByteArray end;
    } lineEnds[] = {{"CR", "\r"}, {"LF", "\n"}, {"CR LF", "\r\n"}};
    const struct {
        const char* name;
        std::function<std::shared_ptr<LineProtocol>()> make;
        QList<QByteArray> commands;
        QByteArray replyEnd;
        QByteArray replies;
    } instruments[] = {
        {"controller", [] { return std::make_shared<ControllerSimulator>(); }, {"A??M5", "a??m5", "AFPF 37 12"}, "\r",
         "A M05 Serial Number 142001\rA M05 Serial Number 142001\rA 50.00 12 SCCM\r"},
        {"pump", [] { return std::make_shared<PumpSimulator>(); }, {"/1?22", "/1Q", "/1?2"}, "\r\n",
         "/0`255\x03\r\n/0`\x03\r\n/0`6000\x03\r\n"},
    };
    for (const auto& instrument : instruments) {
        for (const auto& lineEnd : lineEnds) {
            SCOPED_TRACE(std::string(instrument.name) + ", " + lineEnd.name);
            SimulatorHost host(instrument.make());
            ASSERT_TRUE(host.IsOpen()) << host.ErrorText().toStdString();
            RawClient client(host.PortPath());
            ASSERT_TRUE(client.IsOpen());
            // The second command follows in the same write, the third in a write of its own.
            const QList<QByteArray>& commands = instrument.commands;
            ASSERT_TRUE(client.Write(commands[0] + lineEnd.end + commands[1] + lineEnd.end));
            ASSERT_TRUE(client.Write(commands[2] + lineEnd.end));
            EXPECT_EQ(client.ReadReplies(instrument.replyEnd, 3), instrument.replies);
            EXPECT_EQ(host.ReceivedLines(), commands);
        }
    }
}

} // namespace
