#include "ui/control/ControlServer.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SocketName = QStringLiteral("tessaly-control.sock");
// How long Listen waits to learn whether another program answers on the path.
constexpr int ProbeTimeoutMs = 200;

} // namespace

ControlServer::ControlServer(CommandRunner runner, BusyReason busy, QObject* parent)
    : QObject(parent)
    , fRunner(std::move(runner))
    , fBusy(std::move(busy))
{
}

ControlServer::~ControlServer() { Close(); }

QString ControlServer::FolderProblem(const QString& folder, uint UserId)
{
    if (folder.isEmpty())
        return QStringLiteral("No runtime folder for the control socket");
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("Runtime folder %1 does not exist").arg(folder);
    if (info.ownerId() != UserId)
        return QStringLiteral("Runtime folder %1 belongs to another user: control socket refused").arg(folder);
    return QString();
}

bool ControlServer::DefaultPath(QString& path, QString& error)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    error = FolderProblem(folder, uint(geteuid()));
    if (!error.isEmpty())
        return false;
    path = QDir(folder).filePath(SocketName);
    return true;
}

bool ControlServer::Listen(const QString& path, QString& error)
{
    Close();
    {
        // A socket file whose program still answers is that program's; one left by a program
        // that ended is stale and taken over.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(ProbeTimeoutMs)) {
            error = QStringLiteral("Another program serves the control socket %1").arg(path);
            return false;
        }
    }
    QLocalServer::removeServer(path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        error = QStringLiteral("Cannot open the control socket %1: %2").arg(path, server->errorString());
        delete server;
        return false;
    }
    // Read and write for the user; no one else, and nothing to execute.
    struct stat status {};
    if (::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) != 0
        || ::stat(QFile::encodeName(path).constData(), &status) != 0 || (status.st_mode & 0777) != 0600) {
        error = QStringLiteral("Cannot restrict the control socket %1 to its user").arg(path);
        delete server;
        return false;
    }
    fServer = server;
    fPath = path;
    connect(fServer, &QLocalServer::newConnection, this, &ControlServer::Accept);
    return true;
}

void ControlServer::Close()
{
    fQueue.clear();
    // Aborting emits the sockets' disconnection, which would erase from the map in the loop.
    std::map<QLocalSocket*, TClient> clients;
    clients.swap(fClients);
    for (auto& [socket, client] : clients) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    if (fServer) {
        fServer->close(); // removes the socket file
        delete fServer;
        fServer = nullptr;
    }
    fPath.clear();
}

bool ControlServer::IsListening() const { return fServer && fServer->isListening(); }

bool ControlServer::HasSubscribers() const
{
    for (const auto& [socket, client] : fClients)
        if (client.Subscribed)
            return true;
    return false;
}

void ControlServer::Broadcast(const QByteArray& line)
{
    std::vector<QLocalSocket*> subscribed;
    for (const auto& [socket, client] : fClients)
        if (client.Subscribed)
            subscribed.push_back(socket);
    for (QLocalSocket* socket : subscribed)
        Send(socket, line);
}

void ControlServer::Accept()
{
    while (fServer && fServer->hasPendingConnections()) {
        QLocalSocket* socket = fServer->nextPendingConnection();
        fClients.emplace(socket, TClient{});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); });
        // Lines that arrived with the connection.
        if (socket->bytesAvailable() > 0)
            Read(socket);
    }
}

void ControlServer::Read(QLocalSocket* socket)
{
    while (socket->bytesAvailable() > 0) {
        const auto found = fClients.find(socket);
        if (found == fClients.end())
            return; // cut off: the rest is not read
        TClient& client = found->second;
        // Read in pieces no longer than a line may be, so a client that never ends its line
        // costs no more memory than that.
        client.Input += socket->read(MaximumControlLineBytes + 2);
        qsizetype end;
        while ((end = client.Input.indexOf('\n')) >= 0) {
            const QByteArray line = client.Input.left(end);
            client.Input.remove(0, end + 1);
            TakeLine(socket, client, line);
            if (!fClients.contains(socket))
                return;
        }
        if (client.Input.size() > MaximumControlLineBytes + 1) {
            CutOff(socket, QStringLiteral("Request line longer than %1 bytes: connection closed").arg(MaximumControlLineBytes));
            return;
        }
    }
}

void ControlServer::TakeLine(QLocalSocket* socket, TClient& client, const QByteArray& line)
{
    if (line.trimmed().isEmpty())
        return;
    if (line.size() > MaximumControlLineBytes + 1) {
        CutOff(socket, QStringLiteral("Request line longer than %1 bytes: connection closed").arg(MaximumControlLineBytes));
        return;
    }
    TControlParse parsed = ParseControlRequest(line);
    if (const auto* error = std::get_if<TControlRequestError>(&parsed)) {
        Send(socket, ControlErrorLine(error->Id, error->Error));
        return;
    }
    if (client.Pending >= MaximumPendingRequests) {
        CutOff(socket, QStringLiteral("More than %1 requests waiting: connection closed").arg(MaximumPendingRequests));
        return;
    }
    ++client.Pending;
    fQueue.push_back(TPending{socket, std::get<TControlRequest>(std::move(parsed))});
    ScheduleServe();
}

void ControlServer::Drop(QLocalSocket* socket)
{
    // Its requests already read are still served, one being served finishes: a script that
    // sends "stop" and ends has its stop. Their replies are lost.
    fClients.erase(socket);
    socket->deleteLater();
}

void ControlServer::CutOff(QLocalSocket* socket, const QString& error)
{
    Send(socket, ControlErrorLine(QJsonValue(), error));
    fClients.erase(socket);
    std::erase_if(fQueue, [socket](const TPending& pending) { return pending.Socket == socket; });
    // Closes once the error line is written.
    socket->disconnectFromServer();
}

void ControlServer::Send(QLocalSocket* socket, const QByteArray& line)
{
    if (!socket || !fClients.contains(socket) || socket->state() != QLocalSocket::ConnectedState)
        return;
    socket->write(line);
    if (socket->bytesToWrite() > MaximumUnsentBytes) {
        socket->disconnect(this);
        socket->abort();
        Drop(socket);
    }
}

void ControlServer::ScheduleServe()
{
    if (fServeScheduled)
        return;
    fServeScheduled = true;
    // From the event loop: the window's ticks and painting run between two commands.
    QTimer::singleShot(0, this, &ControlServer::ServeNext);
}

void ControlServer::ServeNext()
{
    fServeScheduled = false;
    // A command that runs the window's events (a search, a reset) lets this run inside it:
    // the next waits until it is done.
    if (fServing || fQueue.empty())
        return;
    TPending pending = std::move(fQueue.front());
    fQueue.pop_front();
    QLocalSocket* socket = pending.Socket.data();
    // Null or not found: the client has gone (Send then writes nothing).
    const auto found = socket ? fClients.find(socket) : fClients.end();
    TClient* client = found != fClients.end() ? &found->second : nullptr;
    if (client)
        --client->Pending;
    const TControlRequest& request = pending.Request;
    if (request.Command == QLatin1String("subscribe") || request.Command == QLatin1String("unsubscribe")) {
        if (client) {
            client->Subscribed = request.Command == QLatin1String("subscribe");
            Send(socket, ControlReplyLine(request.Id, {{QStringLiteral("subscribed"), client->Subscribed}}));
        }
    } else if (const QString busy = fBusy(); !busy.isEmpty()) {
        Send(socket, ControlErrorLine(request.Id, busy));
    } else {
        fServing = true;
        // The window may close the socket, and free this server, while the command runs its
        // events: the runner is called from a copy, and nothing here is touched after that.
        const QPointer<ControlServer> alive(this);
        const CommandRunner runner = fRunner;
        const QByteArray reply = runner(request);
        if (!alive)
            return;
        fServing = false;
        // The client may have gone while the command ran.
        if (pending.Socket)
            Send(pending.Socket.data(), reply);
    }
    if (!fQueue.empty())
        ScheduleServe();
}
