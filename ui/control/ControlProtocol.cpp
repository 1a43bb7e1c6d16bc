#include "ui/control/ControlProtocol.h"

#include "core/NumberText.h"
#include "core/SegmentProgram.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>
#include <vector>

namespace {

enum class TArgType {
    Text,
    Number,
    Whole,       // a number without a fraction
    TextOrWhole, // a name or a number (a gas)
    Ports,       // a port or a non-empty list of ports, kept as a list
};

constexpr double Unbounded = std::numeric_limits<double>::infinity();

struct TArgRule {
    const char* Name;
    TArgType Type;
    bool Required = false;
    double Minimum = -Unbounded;
    double Maximum = Unbounded;
};

struct TCommandRule {
    const char* Name;
    std::vector<TArgRule> Args;
};

// The bounds are those of the window's own boxes; what a value means (a known port, a syringe
// the pump takes) the command checks.
const std::vector<TCommandRule>& Commands()
{
    static const std::vector<TCommandRule> commands = {
        {"devices", {}},
        {"readings", {}},
        {"subscribe", {}},
        {"unsubscribe", {}},
        {"search", {}},
        {"reset", {}},
        {"configure",
         {{"port", TArgType::Text, true},
          {"name", TArgType::Text},
          {"gas", TArgType::TextOrWhole},
          {"unit", TArgType::Text},
          {"reference", TArgType::Whole},
          {"temperature", TArgType::Number, false, -273.15, 900000},
          {"pressure", TArgType::Number, false, 0, 1e9},
          {"color", TArgType::Text},
          {"syringe", TArgType::Number},
          {"fluid_temperature", TArgType::Number, false, -273.15, 2000}}},
        {"setpoint", {{"ports", TArgType::Ports, true}, {"percent", TArgType::Number, true, 0, 100}}},
        {"stop", {{"ports", TArgType::Ports, true}}},
        {"program", {{"port", TArgType::Text, true}, {"text", TArgType::Text, true}}},
        {"start", {{"ports", TArgType::Ports, true}}},
        {"mixture", {{"recipe", TArgType::Text, true}, {"name", TArgType::Text}}},
        {"add",
         {{"recipe", TArgType::Text, true},
          {"name", TArgType::Text},
          {"time", TArgType::Number, true, 0, SegmentTimeMax_min},
          {"note", TArgType::Text}}},
    };
    return commands;
}

const TCommandRule* FindCommand(const QString& name)
{
    for (const TCommandRule& command : Commands())
        if (name == QLatin1String(command.Name))
            return &command;
    return nullptr;
}

const TArgRule* FindArg(const TCommandRule& command, const QString& name)
{
    for (const TArgRule& arg : command.Args)
        if (name == QLatin1String(arg.Name))
            return &arg;
    return nullptr;
}

bool IsWhole(const QJsonValue& value) { return value.isDouble() && std::trunc(value.toDouble()) == value.toDouble(); }

// The argument as its command takes it, or the reason it is refused.
std::variant<QJsonValue, QString> CheckArg(const TArgRule& rule, const QJsonValue& value)
{
    const QString name = QString::fromLatin1(rule.Name);
    switch (rule.Type) {
    case TArgType::Text:
        if (!value.isString())
            return QStringLiteral("Argument %1 must be text").arg(name);
        return value;
    case TArgType::TextOrWhole:
        if (!value.isString() && !IsWhole(value))
            return QStringLiteral("Argument %1 must be a name or a whole number").arg(name);
        return value;
    case TArgType::Ports: {
        const QJsonArray ports = value.isString() ? QJsonArray{value} : value.toArray();
        bool valid = value.isString() || (value.isArray() && !ports.isEmpty());
        for (const QJsonValue& port : ports)
            valid = valid && port.isString() && !port.toString().trimmed().isEmpty();
        if (!valid)
            return QStringLiteral("Argument %1 must be a port or a list of ports").arg(name);
        return ports;
    }
    case TArgType::Number:
    case TArgType::Whole:
        break;
    }
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return QStringLiteral("Argument %1 must be a number").arg(name);
    if (rule.Type == TArgType::Whole && !IsWhole(value))
        return QStringLiteral("Argument %1 must be a whole number").arg(name);
    const double number = value.toDouble();
    if (number < rule.Minimum || number > rule.Maximum)
        return QStringLiteral("Argument %1 must be between %2 and %3")
            .arg(name, FloatToStrDot(rule.Minimum), FloatToStrDot(rule.Maximum));
    return value;
}

QByteArray Line(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n'; }

} // namespace

TControlParse ParseControlRequest(const QByteArray& line)
{
    QByteArray text = line;
    if (text.endsWith('\r'))
        text.chop(1);
    if (text.size() > MaximumControlLineBytes)
        return TControlRequestError{QJsonValue(), QStringLiteral("Request line longer than %1 bytes").arg(MaximumControlLineBytes)};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return TControlRequestError{QJsonValue(), QStringLiteral("Request is not valid JSON: %1 at byte %2")
                                                      .arg(parseError.errorString())
                                                      .arg(parseError.offset)};
    if (!document.isObject())
        return TControlRequestError{QJsonValue(), QStringLiteral("Request is not a JSON object")};
    QJsonObject members = document.object();
    const QJsonValue id = members.take(QStringLiteral("id"));
    if (!id.isString() && !id.isDouble())
        return TControlRequestError{QJsonValue(), id.isUndefined() ? QStringLiteral("Request has no id")
                                                                   : QStringLiteral("The id must be text or a number")};
    const QJsonValue command = members.take(QStringLiteral("cmd"));
    if (!command.isString())
        return TControlRequestError{id, command.isUndefined() ? QStringLiteral("Request has no cmd")
                                                              : QStringLiteral("The cmd must be text")};
    const TCommandRule* rule = FindCommand(command.toString());
    if (!rule)
        return TControlRequestError{id, QStringLiteral("Unknown command: %1 (the commands are %2)")
                                            .arg(command.toString(), ControlCommandNames().join(QStringLiteral(", ")))};

    TControlRequest request{id, command.toString(), {}};
    for (auto member = members.constBegin(); member != members.constEnd(); ++member) {
        const TArgRule* arg = FindArg(*rule, member.key());
        if (!arg)
            return TControlRequestError{id, QStringLiteral("Unknown argument for %1: %2").arg(request.Command, member.key())};
        std::variant<QJsonValue, QString> checked = CheckArg(*arg, member.value());
        if (const QString* error = std::get_if<QString>(&checked))
            return TControlRequestError{id, *error};
        request.Args.insert(member.key(), std::get<QJsonValue>(checked));
    }
    for (const TArgRule& arg : rule->Args)
        if (arg.Required && !request.Args.contains(QLatin1String(arg.Name)))
            return TControlRequestError{id, QStringLiteral("Missing argument for %1: %2").arg(request.Command, QLatin1String(arg.Name))};
    return request;
}

QStringList ControlCommandNames()
{
    QStringList names;
    for (const TCommandRule& command : Commands())
        names << QString::fromLatin1(command.Name);
    return names;
}

QByteArray ControlReplyLine(const QJsonValue& id, const QJsonObject& data)
{
    QJsonObject reply = data;
    reply.insert(QStringLiteral("id"), id);
    reply.insert(QStringLiteral("ok"), true);
    return Line(reply);
}

QByteArray ControlErrorLine(const QJsonValue& id, const QString& error)
{
    return Line(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("ok"), false}, {QStringLiteral("error"), error}});
}

QByteArray ControlEventLine(const QString& event, const QJsonObject& data)
{
    QJsonObject line = data;
    line.insert(QStringLiteral("event"), event);
    return Line(line);
}
