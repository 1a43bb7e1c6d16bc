#include "ui/control/ControlServer.h"

#include "ControlClient.h"
#include "core/QStringPrinter.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Client = ControlClient;

class ControlServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fFolder.isValid());
        path = fFolder.filePath("control.sock");
        QString error;
        ASSERT_TRUE(server.Listen(path, error)) << error.toStdString();
    }

    // Records every request and answers with its command; runWhile (when set) runs inside.
    QByteArray Run(const TControlRequest& request)
    {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        served << request.Command;
        if (runWhile)
            runWhile(request);
        --depth;
        return ControlReplyLine(request.Id, {{"ran", request.Command}});
    }

    QTemporaryDir fFolder;
    QString path;
    QStringList served;
    QString busy;
    int depth = 0;
    int maxDepth = 0;
    std::function<void(const TControlRequest&)> runWhile;
    ControlServer server{[this](const TControlRequest& request) { return Run(request); }, [this] { return busy; }};
};

TEST_F(ControlServerTest, SocketIsTheUsersAloneAndOneProgramServesIt)
{
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_TRUE(S_ISSOCK(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    ControlServer second([](const TControlRequest&) { return QByteArray(); }, [] { return QString(); });
    QString error;
    EXPECT_FALSE(second.Listen(path, error));
    EXPECT_EQ(error, "Another program serves the control socket " + path);
    EXPECT_TRUE(server.IsListening());

    // Closed, the socket file goes; a file left behind by a program that ended is taken over.
    server.Close();
    EXPECT_FALSE(QFileInfo::exists(path));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_TRUE(second.Listen(path, error)) << error.toStdString();
}

TEST_F(ControlServerTest, RuntimeFolderMustExistAndBeTheUsers)
{
    const uint me = uint(geteuid());
    EXPECT_EQ(ControlServer::FolderProblem(fFolder.path(), me), QString());
    EXPECT_EQ(ControlServer::FolderProblem(QString(), me), "No runtime folder for the control socket");
    EXPECT_EQ(ControlServer::FolderProblem(fFolder.filePath("none"), me),
              "Runtime folder " + fFolder.filePath("none") + " does not exist");
    EXPECT_EQ(ControlServer::FolderProblem(fFolder.path(), me + 1),
              "Runtime folder " + fFolder.path() + " belongs to another user: control socket refused");
}

TEST_F(ControlServerTest, BadInputGetsAnErrorOrACutOffAndRunsNothing)
{
    struct TCase {
        const char* What;
        QByteArray Lines;
        QString ErrorStart;
        bool Closed;
    };
    QByteArray flood;
    for (int i = 0; i <= ControlServer::MaximumPendingRequests; ++i)
        flood += "{\"id\":" + QByteArray::number(i) + ",\"cmd\":\"devices\"}\n";
    const TCase cases[] = {
        {"malformed JSON", "{\"id\":1,\"cmd\":\n", "Request is not valid JSON", false},
        {"unknown command", "{\"id\":1,\"cmd\":\"format\"}\n", "Unknown command: format", false},
        {"missing argument", "{\"id\":1,\"cmd\":\"stop\"}\n", "Missing argument for stop: ports", false},
        {"wrong type", "{\"id\":1,\"cmd\":\"stop\",\"ports\":7}\n", "Argument ports must be a port or a list of ports", false},
        {"setpoint over 100", "{\"id\":1,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"],\"percent\":150}\n",
         "Argument percent must be between 0 and 100", false},
        {"line over 64 KiB without its end", QByteArray(MaximumControlLineBytes + 10, ' ') + "{",
         "Request line longer than 65536 bytes: connection closed", true},
        {"line over 64 KiB", "{\"id\":1,\"cmd\":\"devices\"" + QByteArray(MaximumControlLineBytes, ' ') + "}\n",
         "Request line longer than 65536 bytes: connection closed", true},
        {"flood of requests", flood, "More than 64 requests waiting: connection closed", true},
    };
    // The window is busy meanwhile, so requests that were taken would wait in the queue.
    busy = "The window is busy";
    for (const TCase& test : cases) {
        Client client(path);
        ASSERT_TRUE(client.Connected()) << test.What;
        client.Send(test.Lines);
        QJsonObject reply;
        // A flood's accepted requests are not answered before it is cut off.
        do
            reply = client.Next();
        while (!reply.isEmpty() && reply.value("error").toString() == busy);
        EXPECT_EQ(reply.value("ok"), QJsonValue(false)) << test.What;
        EXPECT_TRUE(reply.value("error").toString().startsWith(test.ErrorStart))
            << test.What << ": " << reply.value("error").toString().toStdString();
        if (test.Closed)
            EXPECT_TRUE(client.WaitClosed()) << test.What;
        else
            EXPECT_TRUE(client.Connected()) << test.What;
    }
    ServeUntil([] { return false; }, 50);
    EXPECT_TRUE(served.isEmpty()) << served.join(',').toStdString();

    // The server takes the next client as before.
    busy.clear();
    Client after(path);
    after.Send("{\"id\":\"x\",\"cmd\":\"devices\"}\n");
    EXPECT_EQ(after.Next(), QJsonObject({{"id", "x"}, {"ok", true}, {"ran", "devices"}}));
}

TEST_F(ControlServerTest, CommandsRunOneAtATimeInArrivalOrderAndBusyIsRefused)
{
    Client first(path);
    Client second(path);
    // The first command runs the window's events (as a search does) until the second client's
    // request has arrived; that one waits for it.
    runWhile = [&](const TControlRequest& request) {
        if (request.Command == "search") {
            second.Send("{\"id\":2,\"cmd\":\"readings\"}\n");
            ServeUntil([] { return false; }, 100);
        }
    };
    first.Send("{\"id\":1,\"cmd\":\"search\"}\n");
    EXPECT_EQ(first.Next().value("ran"), "search");
    EXPECT_EQ(second.Next().value("ran"), "readings");
    EXPECT_EQ(served, QStringList({"search", "readings"}));
    EXPECT_EQ(maxDepth, 1);

    busy = "Waiting for the operator: No fluid selected for MFC";
    first.Send("{\"id\":3,\"cmd\":\"reset\"}\n");
    EXPECT_EQ(first.Next(), QJsonObject({{"id", 3}, {"ok", false}, {"error", busy}}));
    EXPECT_EQ(served.size(), 2);
}

TEST_F(ControlServerTest, AClientThatGoesMidCommandLeavesTheCommandWhole)
{
    {
        Client leaving(path);
        runWhile = [&](const TControlRequest&) {
            leaving.Close();
            ServeUntil([&] { return server.ConnectionCount() == 0; }, 2000);
        };
        leaving.Send("{\"id\":1,\"cmd\":\"reset\"}\n");
        ASSERT_TRUE(ServeUntil([&] { return served.size() == 1; }, 3000));
    }
    runWhile = nullptr;
    EXPECT_EQ(server.ConnectionCount(), 0);

    // Requests read before a client ended are still served: a script's last "stop" counts.
    {
        Client brief(path);
        brief.Send("{\"id\":2,\"cmd\":\"stop\",\"ports\":\"COM1\"}\n");
        ASSERT_TRUE(ServeUntil([&] { return server.ConnectionCount() == 1; }, 2000));
        ServeUntil([&] { return brief.Socket().bytesToWrite() == 0; }, 2000);
    }
    EXPECT_TRUE(ServeUntil([&] { return served.size() == 2; }, 3000));
    EXPECT_EQ(served.last(), "stop");

    Client next(path);
    next.Send("{\"id\":3,\"cmd\":\"devices\"}\n");
    EXPECT_EQ(next.Next().value("ran"), "devices");
}

TEST_F(ControlServerTest, EventsReachSubscribersUntilTheyUnsubscribeOrStopReading)
{
    Client listener(path);
    Client other(path);
    listener.Send("{\"id\":1,\"cmd\":\"subscribe\"}\n");
    EXPECT_EQ(listener.Next(), QJsonObject({{"id", 1}, {"ok", true}, {"subscribed", true}}));
    ASSERT_TRUE(ServeUntil([&] { return server.ConnectionCount() == 2; }, 2000));
    EXPECT_TRUE(server.HasSubscribers());
    EXPECT_TRUE(served.isEmpty()); // subscribing is the connection's business only

    server.Broadcast(ControlEventLine("row", {{"line", "12:00:00 | 1.5"}}));
    EXPECT_EQ(listener.Next(), QJsonObject({{"event", "row"}, {"line", "12:00:00 | 1.5"}}));
    EXPECT_TRUE(other.Next(100).isEmpty());

    listener.Send("{\"id\":2,\"cmd\":\"unsubscribe\"}\n");
    EXPECT_EQ(listener.Next().value("subscribed"), false);
    EXPECT_FALSE(server.HasSubscribers());
    server.Broadcast(ControlEventLine("row", {{"line", "x"}}));
    EXPECT_TRUE(listener.Next(100).isEmpty());

    // A subscriber that never reads is cut off before its unsent events fill the memory.
    other.Send("{\"id\":3,\"cmd\":\"subscribe\"}\n");
    ASSERT_TRUE(ServeUntil([&] { return server.HasSubscribers(); }, 2000));
    const QByteArray big = ControlEventLine("row", {{"line", QString(60000, u'x')}});
    for (qint64 sent = 0; sent <= 2 * ControlServer::MaximumUnsentBytes && server.HasSubscribers(); sent += big.size())
        server.Broadcast(big);
    EXPECT_FALSE(server.HasSubscribers());
    EXPECT_EQ(server.ConnectionCount(), 1);
}

} // namespace
