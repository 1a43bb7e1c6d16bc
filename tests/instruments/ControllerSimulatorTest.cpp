#include "tools/ControllerSimulator.h"

#include <gtest/gtest.h>

namespace {

QByteArray Reply(ControllerSimulator& controller, const QByteArray& line)
{
    const std::optional<SimulatorReply> reply = controller.Answer(line);
    return reply ? reply->bytes : QByteArray("(none)");
}

TEST(ControllerSimulatorTest, AnswersLikeTheControllerTheDriverExpects)
{
    ControllerSimulator controller(ControllerSimulatorOptions{.Serial = "150123", .FullScale = 2.5});
    const struct {
        QByteArray line;
        QByteArray reply;
    } cases[] = {
        {"A??M5", "A M05 Serial Number 150123\r"},
        {"AFPF 37 67", "A 0.002948 67 g/m\r"}, // 2.5 SCCM of Air, in grams per minute
        {"AFPF 37 12", "A 2.50 12 SCCM\r"},
        {"AFACTORY RESTORE ALL", "A Factory values have been restored.\r"},
        {"ALSS U", "A U\r"},
        {"ASPUE 0", "A U\r"},
        {"ADCU 37 62", "A 62 count\r"},
        {"ADCU 2 7", "A 7 barA\r"},
        {"AXYZ", "A ?\r"},
        {"AG", "A ?\r"},
        {"A-5", "A ?\r"},
        {"", "(none)"},
        {"B", "(none)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Reply(controller, c.line), c.reply) << c.line.toStdString();
}

TEST(ControllerSimulatorTest, StatusLineCarriesSetpointGasAndFaults)
{
    ControllerSimulator controller;
    EXPECT_TRUE(Reply(controller, "A64001").contains(" +64000 ")); // capped at full scale
    EXPECT_TRUE(Reply(controller, "AG 8").endsWith(" N2\r"));
    EXPECT_TRUE(Reply(controller, "AG 200").endsWith(" 200\r"));
    EXPECT_EQ(controller.SetpointCommandCount(), 1);
    EXPECT_EQ(controller.GasNumber(), 200);

    ControllerFaults faults;
    faults.StatusCodes = {"MOV", "", "TMF"};
    faults.ReplyDelayMs = 30;
    controller.SetFaults(faults);
    const std::optional<SimulatorReply> reply = controller.Answer("A");
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->bytes.endsWith(" 200 MOV  TMF\r"));
    EXPECT_EQ(reply->delayMs, 30);

    faults = {};
    faults.LongReply = true;
    controller.SetFaults(faults);
    EXPECT_GT(Reply(controller, "A").size(), 80);

    faults = {};
    faults.ShortReply = true;
    controller.SetFaults(faults);
    EXPECT_EQ(Reply(controller, "A").count(' '), 2);

    faults = {};
    faults.NoReply = true;
    controller.SetFaults(faults);
    EXPECT_EQ(Reply(controller, "A"), QByteArray("(none)"));
}

} // namespace
