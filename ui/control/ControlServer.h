#pragma once
// The control socket: a local socket in the user's runtime folder, readable and writable by
// the user alone, through which scripts drive the window. It reads request lines from any
// number of clients and serves them one at a time, in arrival order, from the window's event
// loop, so a command never runs inside a tick or inside another command. Subscribed clients
// get the event lines the window broadcasts.
#include "ui/control/ControlProtocol.h"

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <map>

class QLocalServer;
class QLocalSocket;

class ControlServer : public QObject {
    Q_OBJECT
public:
    // Runs a request as its command and gives the reply line; it reports its own errors and
    // never throws.
    using CommandRunner = std::function<QByteArray(const TControlRequest&)>;
    // Why the window cannot take a command just now (a message box waiting for the operator,
    // a search or reset under way); empty when it can.
    using BusyReason = std::function<QString()>;

    // Requests waiting from one client beyond which it is cut off as a flood.
    static constexpr int MaximumPendingRequests = 64;
    // Output waiting for one client beyond which it is cut off: it does not read its events.
    static constexpr qint64 MaximumUnsentBytes = 4 * 1024 * 1024;

    ControlServer(CommandRunner runner, BusyReason busy, QObject* parent = nullptr);
    ~ControlServer() override;

    // The socket's path in the user's runtime folder; false with the reason when there is no
    // such folder or another user owns it.
    static bool DefaultPath(QString& path, QString& error);
    // The reason a folder cannot hold the socket of user UserId; empty when it can.
    static QString FolderProblem(const QString& folder, uint UserId);

    // Opens the socket at path (mode 0600); false with the reason when it cannot, among them
    // another program already serving there.
    bool Listen(const QString& path, QString& error);
    // Closes the socket and every connection; requests not yet served are dropped.
    void Close();
    bool IsListening() const;
    QString Path() const { return fPath; }

    int ConnectionCount() const { return int(fClients.size()); }
    bool HasSubscribers() const;
    // Sends an event line to every subscribed client.
    void Broadcast(const QByteArray& line);

private:
    struct TClient {
        QByteArray Input; // bytes after the last complete line
        bool Subscribed = false;
        int Pending = 0; // its requests in the queue
    };
    struct TPending {
        QPointer<QLocalSocket> Socket;
        TControlRequest Request;
    };

    void Accept();
    void Read(QLocalSocket* socket);
    void TakeLine(QLocalSocket* socket, TClient& client, const QByteArray& line);
    void Drop(QLocalSocket* socket);
    // Writes an error line and closes the connection once it is sent.
    void CutOff(QLocalSocket* socket, const QString& error);
    void Send(QLocalSocket* socket, const QByteArray& line);
    void ScheduleServe();
    void ServeNext();

    CommandRunner fRunner;
    BusyReason fBusy;
    QLocalServer* fServer = nullptr;
    QString fPath;
    std::map<QLocalSocket*, TClient> fClients;
    std::deque<TPending> fQueue;
    bool fServing = false;
    bool fServeScheduled = false;
};
