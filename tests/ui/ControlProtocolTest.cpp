#include "ui/control/ControlProtocol.h"

#include "core/QStringPrinter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

struct TRefusal {
    const char* Line;
    const char* ErrorStart;
    bool IdKept; // the reply carries the request's id
};

// Every way a request line can be wrong, with the start of the reason given back.
TEST(ControlProtocol, RefusesMalformedAndIllTypedRequestsWithAReason)
{
    const TRefusal cases[] = {
        {"", "Request is not valid JSON", false},
        {"{\"id\":1,\"cmd\":\"devices\"", "Request is not valid JSON", false},
        {"not json at all", "Request is not valid JSON", false},
        {"\xff\xfe{}", "Request is not valid JSON", false},
        {"[1,2]", "Request is not a JSON object", false},
        {"\"devices\"", "Request is not valid JSON", false},
        {"{\"cmd\":\"devices\"}", "Request has no id", false},
        {"{\"id\":[1],\"cmd\":\"devices\"}", "The id must be text or a number", false},
        {"{\"id\":null,\"cmd\":\"devices\"}", "The id must be text or a number", false},
        {"{\"id\":7}", "Request has no cmd", true},
        {"{\"id\":7,\"cmd\":3}", "The cmd must be text", true},
        {"{\"id\":7,\"cmd\":\"launch\"}", "Unknown command: launch (the commands are devices, readings,", true},
        {"{\"id\":7,\"cmd\":\"Devices\"}", "Unknown command: Devices", true},
        {"{\"id\":7,\"cmd\":\"devices\",\"port\":\"COM1\"}", "Unknown argument for devices: port", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"percent\":10}", "Missing argument for setpoint: ports", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"]}", "Missing argument for setpoint: percent", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"],\"percent\":\"40\"}", "Argument percent must be a number", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"],\"percent\":100.5}", "Argument percent must be between 0 and 100", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"],\"percent\":-0.1}", "Argument percent must be between 0 and 100", true},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[\"COM1\"],\"percent\":1e999}", "Request is not valid JSON: illegal number", false},
        {"{\"id\":7,\"cmd\":\"setpoint\",\"ports\":[],\"percent\":1}", "Argument ports must be a port or a list of ports", true},
        {"{\"id\":7,\"cmd\":\"stop\",\"ports\":[\"COM1\",2]}", "Argument ports must be a port or a list of ports", true},
        {"{\"id\":7,\"cmd\":\"stop\",\"ports\":[\" \"]}", "Argument ports must be a port or a list of ports", true},
        {"{\"id\":7,\"cmd\":\"stop\",\"ports\":{\"a\":1}}", "Argument ports must be a port or a list of ports", true},
        {"{\"id\":7,\"cmd\":\"program\",\"port\":\"COM1\"}", "Missing argument for program: text", true},
        {"{\"id\":7,\"cmd\":\"program\",\"port\":5,\"text\":\"\"}", "Argument port must be text", true},
        {"{\"id\":7,\"cmd\":\"configure\",\"port\":\"COM1\",\"gas\":1.5}", "Argument gas must be a name or a whole number", true},
        {"{\"id\":7,\"cmd\":\"configure\",\"port\":\"COM1\",\"reference\":2.5}", "Argument reference must be a whole number", true},
        {"{\"id\":7,\"cmd\":\"configure\",\"port\":\"COM1\",\"temperature\":-300}", "Argument temperature must be between -273.15 and 900000", true},
        {"{\"id\":7,\"cmd\":\"add\",\"recipe\":\"COM1 5\",\"time\":-1}", "Argument time must be between 0 and 5259600", true},
        {"{\"id\":\"a\",\"cmd\":\"mixture\",\"recipe\":true}", "Argument recipe must be text", true},
    };
    for (const TRefusal& refusal : cases) {
        const TControlParse parsed = ParseControlRequest(QByteArray(refusal.Line));
        const auto* error = std::get_if<TControlRequestError>(&parsed);
        ASSERT_NE(error, nullptr) << refusal.Line;
        EXPECT_TRUE(error->Error.startsWith(QString::fromLatin1(refusal.ErrorStart))) << refusal.Line << " -> " << error->Error.toStdString();
        EXPECT_EQ(!error->Id.isNull(), refusal.IdKept) << refusal.Line;
    }
}

TEST(ControlProtocol, TakesWellFormedRequestsWithTheirArguments)
{
    const TControlParse parsed =
        ParseControlRequest(R"({"id":"step-1","cmd":"setpoint","ports":["/dev/pts/5","/dev/pts/6"],"percent":40}  )" "\r");
    const auto* request = std::get_if<TControlRequest>(&parsed);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->Id, QJsonValue(QStringLiteral("step-1")));
    EXPECT_EQ(request->Command, "setpoint");
    EXPECT_EQ(request->Args.value("percent").toDouble(), 40);
    EXPECT_EQ(request->Args.value("ports").toArray(), QJsonArray({"/dev/pts/5", "/dev/pts/6"}));
    EXPECT_FALSE(request->Args.contains("id"));
    EXPECT_FALSE(request->Args.contains("cmd"));

    // A single port is taken as a list of one; the bounds themselves are allowed.
    const TControlParse single = ParseControlRequest(R"({"id":3,"cmd":"setpoint","ports":"COM1","percent":100})");
    ASSERT_TRUE(std::holds_alternative<TControlRequest>(single));
    EXPECT_EQ(std::get<TControlRequest>(single).Args.value("ports").toArray(), QJsonArray({"COM1"}));
    EXPECT_EQ(std::get<TControlRequest>(single).Id, QJsonValue(3));
    EXPECT_TRUE(std::holds_alternative<TControlRequest>(ParseControlRequest(R"({"id":3,"cmd":"setpoint","ports":"COM1","percent":0})")));
    EXPECT_TRUE(std::holds_alternative<TControlRequest>(
        ParseControlRequest(R"({"id":1,"cmd":"configure","port":"COM1","gas":"N2","reference":2,"color":"#ff0000"})")));
    EXPECT_TRUE(std::holds_alternative<TControlRequest>(ParseControlRequest(R"({"id":1,"cmd":"configure","port":"COM1","gas":8})")));
}

TEST(ControlProtocol, RefusesALineOverTheLimitWithoutReadingIt)
{
    QByteArray line = R"({"id":1,"cmd":"mixture","recipe":")";
    line += QByteArray(MaximumControlLineBytes, 'x') + "\"}";
    const TControlParse parsed = ParseControlRequest(line);
    ASSERT_TRUE(std::holds_alternative<TControlRequestError>(parsed));
    EXPECT_EQ(std::get<TControlRequestError>(parsed).Error, "Request line longer than 65536 bytes");
}

TEST(ControlProtocol, RepliesAndEventsAreOneCompactObjectPerLine)
{
    const QByteArray reply = ControlReplyLine(QJsonValue(5), {{"ports", QJsonArray({"a\nb"})}, {"ok", false}});
    ASSERT_TRUE(reply.endsWith('\n'));
    EXPECT_EQ(reply.count('\n'), 1); // a line feed inside a text is escaped
    const QJsonObject object = QJsonDocument::fromJson(reply).object();
    EXPECT_EQ(object.value("id"), QJsonValue(5));
    EXPECT_EQ(object.value("ok"), QJsonValue(true)); // the data cannot override the outcome
    EXPECT_EQ(QJsonDocument::fromJson(ControlErrorLine(QJsonValue(), "No fluid selected for MFC")).object(),
              QJsonObject({{"id", QJsonValue()}, {"ok", false}, {"error", "No fluid selected for MFC"}}));
    EXPECT_EQ(QJsonDocument::fromJson(ControlEventLine("row", {{"line", "x"}})).object(),
              QJsonObject({{"event", "row"}, {"line", "x"}}));
}

} // namespace
