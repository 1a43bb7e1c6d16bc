// One line from a control-socket client. A line is either a request of a known command whose
// arguments have their types and bounds, or a refusal with a reason; either way the reply line
// is one line of JSON that carries the request's id. A request written back as JSON reads as
// the same request.
#include "FuzzSupport.h"

#include "ui/control/ControlProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace {

bool AllNumbersFinite(const QJsonValue& value)
{
    if (value.isDouble())
        return std::isfinite(value.toDouble());
    if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            if (!AllNumbersFinite(item))
                return false;
    }
    return true;
}

// A reply is one line: a JSON object ended by its only line feed, with the id given.
void CheckReplyLine(const QByteArray& reply, const QJsonValue& id, const QByteArray& request)
{
    FUZZ_CHECK(reply.endsWith('\n') && reply.count('\n') == 1, QString::fromUtf8(request));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(reply, &error);
    FUZZ_CHECK(error.error == QJsonParseError::NoError && document.isObject(), QString::fromUtf8(reply));
    FUZZ_CHECK(document.object().value(QStringLiteral("id")) == id, QString::fromUtf8(reply));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line = Bytes(data, size);
    const TControlParse parsed = ParseControlRequest(line);
    if (const auto* refused = std::get_if<TControlRequestError>(&parsed)) {
        FUZZ_CHECK(!refused->Error.isEmpty(), QString::fromUtf8(line));
        FUZZ_CHECK(refused->Id.isNull() || refused->Id.isString() || refused->Id.isDouble(), QString::fromUtf8(line));
        CheckReplyLine(ControlErrorLine(refused->Id, refused->Error), refused->Id, line);
        return 0;
    }
    const TControlRequest& request = std::get<TControlRequest>(parsed);
    FUZZ_CHECK(ControlCommandNames().contains(request.Command), request.Command);
    FUZZ_CHECK(request.Id.isString() || request.Id.isDouble(), QString::fromUtf8(line));
    for (auto arg = request.Args.constBegin(); arg != request.Args.constEnd(); ++arg)
        FUZZ_CHECK(AllNumbersFinite(arg.value()), arg.key());
    if (request.Command == QLatin1String("setpoint")) {
        const double percent = request.Args.value(QStringLiteral("percent")).toDouble(-1);
        FUZZ_CHECK(percent >= 0 && percent <= 100, QString::fromUtf8(line));
    }
    CheckReplyLine(ControlReplyLine(request.Id, {}), request.Id, line);

    QJsonObject again = request.Args;
    again.insert(QStringLiteral("id"), request.Id);
    again.insert(QStringLiteral("cmd"), request.Command);
    const QByteArray rewritten = QJsonDocument(again).toJson(QJsonDocument::Compact);
    const TControlParse reparsed = ParseControlRequest(rewritten);
    const auto* same = std::get_if<TControlRequest>(&reparsed);
    FUZZ_CHECK(same && same->Id == request.Id && same->Command == request.Command && same->Args == request.Args,
               QString::fromUtf8(rewritten));
    return 0;
}
