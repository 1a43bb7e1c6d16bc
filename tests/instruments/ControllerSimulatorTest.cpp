#include "tools/ControllerSimulator.h"

#include "core/NumberText.h"
#include "instruments/AlicatReplies.h"

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
    // A gas label is never a number, which a line without totalizer would read as one.
    const AlicatStatusLine beyondTheNames = ParseAlicatStatusLine(QString::fromLatin1(Reply(controller, "AG 200")));
    ASSERT_EQ(beyondTheNames.kind, AlicatStatusLine::Kind::Reading);
    EXPECT_FALSE(beyondTheNames.GasLabel.isEmpty());
    double number = 0;
    EXPECT_FALSE(TryStrToFloatDot(beyondTheNames.GasLabel, number));
    EXPECT_EQ(controller.SetpointCommandCount(), 1);
    EXPECT_EQ(controller.GasNumber(), 200);

    ControllerFaults faults;
    faults.StatusCodes = {"MOV", "", "TMF"};
    faults.ReplyDelayMs = 30;
    controller.SetFaults(faults);
    const std::optional<SimulatorReply> reply = controller.Answer("A");
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->bytes.endsWith(" " + beyondTheNames.GasLabel.toLatin1() + " MOV  TMF\r"));
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

TEST(ControllerSimulatorTest, StatusLayoutsReadAsTheDriverReadsThem)
{
    using Layout = ControllerStatusLayout;
    const struct {
        const char* name;
        Layout layout;
        int fields;
        bool totalizer;
    } cases[] = {
        {"totaliser", Layout::Totalizer, 8, true},
        {"no totaliser", Layout::NoTotalizer, 7, false},
        {"valve drive", Layout::ValveDrive, 9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerSimulator controller(ControllerSimulatorOptions{.TimeScale = 0, .Layout = c.layout});
        Reply(controller, "AG 8");
        const QByteArray reply = Reply(controller, "A32000");
        const AlicatStatusLine line = ParseAlicatStatusLine(QString::fromLatin1(reply));
        ASSERT_EQ(line.kind, AlicatStatusLine::Kind::Reading) << reply.toStdString();
        EXPECT_EQ(line.FieldCount, c.fields);
        EXPECT_EQ(line.HasTotalizer, c.totalizer);
        EXPECT_EQ(line.GasLabel, QStringLiteral("N2"));
        EXPECT_EQ(line.Numbers[3], 32000); // settled at once with time scale 0
        EXPECT_EQ(line.Numbers[4], 32000);
        EXPECT_FALSE(line.HasStatusFields);
    }
}

TEST(ControllerSimulatorTest, FirmwareUnitIdAndLetterCase)
{
    ControllerSimulator old(ControllerSimulatorOptions{.OldFirmware = true});
    const struct {
        QByteArray line;
        QByteArray reply;
    } oldCases[] = {
        {"AFPF 37 67", "A ?\r"},
        {"ADCU 37 62", "A ?\r"},
        {"ADCU 2 7", "A ?\r"},
        {"ALSS U", "A U\r"},
        {"A??M5", "A M05 Serial Number 142001\r"},
    };
    for (const auto& c : oldCases)
        EXPECT_EQ(Reply(old, c.line), c.reply) << c.line.toStdString();
    EXPECT_TRUE(Reply(old, "A").startsWith("A +014.70 ")); // pressure stays in psia

    ControllerSimulator unitB(ControllerSimulatorOptions{.UnitID = 'B'});
    const struct {
        QByteArray line;
        QByteArray reply;
    } unitCases[] = {
        {"B??M5", "B M05 Serial Number 142001\r"},
        {"b??m5", "B M05 Serial Number 142001\r"},
        {"bdcu 2 7", "B 7 barA\r"},
        {"bfactory restore all", "B Factory values have been restored.\r"},
        {"bxyz", "B ?\r"},
        {"A??M5", "(none)"},
        {"A", "(none)"},
    };
    for (const auto& c : unitCases)
        EXPECT_EQ(Reply(unitB, c.line), c.reply) << c.line.toStdString();
    EXPECT_TRUE(Reply(unitB, "b16000").startsWith("B "));
    EXPECT_EQ(unitB.SetpointCounts(), 16000);
}

} // namespace
