#pragma once
// The control socket's wire format: one JSON object per line each way. A request names its
// command and carries an id that its reply repeats; the reply says ok with the command's data,
// or not ok with the text the operator would have been shown. Events (for subscribed clients)
// carry "event" instead of an id. Everything here is pure: a line in, a request or an error
// out, so it can be fed any bytes.
#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <variant>

// The longest request line taken, without its line end; a client sending more is cut off.
inline constexpr qsizetype MaximumControlLineBytes = 64 * 1024;

// A request whose arguments have the names and types its command takes (numbers finite and
// within their bounds, port lists not empty); their meaning is for the command to judge.
struct TControlRequest {
    QJsonValue Id; // a string or a number
    QString Command;
    QJsonObject Args; // the request's members other than id and cmd
};

// A request refused as it stands; Id is the request's own when it could be read, else null.
struct TControlRequestError {
    QJsonValue Id;
    QString Error;
};

using TControlParse = std::variant<TControlRequest, TControlRequestError>;

// One request line (line end removed; a trailing CR is ignored) into a request or the reason
// it is refused.
TControlParse ParseControlRequest(const QByteArray& line);

// The commands the socket takes, in the order the help lists them.
QStringList ControlCommandNames();

// Reply and event lines, each ended by a line feed.
QByteArray ControlReplyLine(const QJsonValue& id, const QJsonObject& data);
QByteArray ControlErrorLine(const QJsonValue& id, const QString& error);
QByteArray ControlEventLine(const QString& event, const QJsonObject& data);
