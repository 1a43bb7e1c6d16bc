#pragma once
// A script's end of the control socket for the tests: sends request lines, reads reply and
// event lines while the window's events run.
#include "ServeUntil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <functional>

class ControlClient {
public:
    using Waiter = std::function<bool(const std::function<bool()>& done, int timeoutMs)>;

    // wait runs the events (and whatever else the test needs meanwhile) until done.
    explicit ControlClient(const QString& path, Waiter wait = ServeUntil)
        : fWait(std::move(wait))
    {
        fSocket.connectToServer(path);
        fSocket.waitForConnected(2000);
    }
    bool Connected() const { return fSocket.state() == QLocalSocket::ConnectedState; }
    void Send(const QByteArray& line)
    {
        fSocket.write(line);
        fSocket.flush();
    }
    // The next line as an object; empty after the timeout.
    QJsonObject Next(int timeoutMs = 3000)
    {
        fWait([&] { return fSocket.canReadLine() || !Connected(); }, timeoutMs);
        if (!fSocket.canReadLine())
            return {};
        return QJsonDocument::fromJson(fSocket.readLine()).object();
    }
    // Sends a request and gives its reply, keeping the events that arrive before it.
    QJsonObject Call(const QByteArray& request, int timeoutMs = 10000)
    {
        Send(request + '\n');
        for (QJsonObject line = Next(timeoutMs);; line = Next(timeoutMs)) {
            if (!line.contains(QStringLiteral("event")))
                return line;
            events.push_back(line);
        }
    }
    bool WaitClosed(int timeoutMs = 3000)
    {
        return fWait([&] { return !Connected(); }, timeoutMs);
    }
    void Close() { fSocket.abort(); }
    QLocalSocket& Socket() { return fSocket; }

    std::vector<QJsonObject> events;

private:
    Waiter fWait;
    QLocalSocket fSocket;
};
