#include "instruments/AlicatMFC.h"
#include "instruments/AlicatReplies.h"

#include <gtest/gtest.h>

namespace {

TAlicatErrors Flags(std::initializer_list<TAlicatError> codes)
{
    TAlicatErrors flags;
    for (TAlicatError code : codes)
        flags.Include(code);
    return flags;
}

TEST(AlicatRepliesTest, StatusLinesFromRealAndBrokenReplies)
{
    using Kind = AlicatStatusLine::Kind;
    const struct {
        const char* name;
        QString reply;
        Kind kind;
        std::array<double, 6> numbers;
        QString gas;
        bool statusFields;
        TAlicatErrors flags;
    } cases[] = {
        {"codes after the gas, two blanks between", "A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air MOV  TMF",
         Kind::Reading, {14.7, 25, 0, 0, 0, 0}, "Air", true, Flags({TAlicatError::MOV, TAlicatError::TMF})},
        {"lower-case code", "A +014.70 +025.00 +000.00 +000.00 +000.00 +000.00 Air mov",
         Kind::Reading, {14.7, 25, 0, 0, 0, 0}, "Air", true, {}},
        {"counts, no codes", "A +001.01 +025.00 +019.44 +24883 +32000 +000.24 N2",
         Kind::Reading, {1.01, 25, 19.44, 24883, 32000, 0.24}, "N2", false, {}},
        {"no gas label", "A +014.70 +025.00 -000.50 +000.00 +64000 +000.00",
         Kind::Reading, {14.7, 25, -0.5, 0, 64000, 0}, "", false, {}},
        {"tabs, runs of blanks, unknown codes", "A\t+1.5  +2 +3 +4 +5 +6\tAir  HLD XYZ LCK",
         Kind::Reading, {1.5, 2, 3, 4, 5, 6}, "Air", true, Flags({TAlicatError::HLD, TAlicatError::LCK})},
        {"every code", "A 0 0 0 0 0 0 He ADC EXH HLD LCK MOV OPL OVR POV TMF TOV VOV",
         Kind::Reading, {}, "He", true, TAlicatErrors{0x07FF}},
        {"cut at 80 bytes", "A +014.70 +025.00 +000.00 +00000 +00000 +000.00 Air +000.00 +000.00 +000.00 +000",
         Kind::Reading, {14.7, 25, 0, 0, 0, 0}, "Air", true, {}},
        {"too short", "A +014.70 +025.00", Kind::Short, {}, "", false, {}},
        {"unknown command answer", "A ?", Kind::Short, {}, "", false, {}},
        {"empty", "", Kind::Short, {}, "", false, {}},
        {"unreadable mass flow", "A +014.70 +025.00 +000.00 +--.-- +000.00 +000.00 Air", Kind::Malformed, {}, "", false, {}},
        {"comma decimal", "A +014,70 +025.00 +000.00 +000.00 +000.00 +000.00 Air", Kind::Malformed, {}, "", false, {}},
        // Controllers without the totalizer option: the gas label follows the setpoint.
        {"no totalizer", "A +014.62 +021.89 +000.00 +000.00 +078.95     N2",
         Kind::Reading, {14.62, 21.89, 0, 0, 78.95, 0}, "N2", false, {}},
        {"no totalizer, captured", "A +014.52 +021.50 +0000.1 +0000.2 0116.3      N2",
         Kind::Reading, {14.52, 21.5, 0.1, 0.2, 116.3, 0}, "N2", false, {}},
        {"no totalizer, codes", "A +014.52 +021.50 +0000.1 +0000.2 0116.3      N2 HLD  MOV",
         Kind::Reading, {14.52, 21.5, 0.1, 0.2, 116.3, 0}, "N2", true, Flags({TAlicatError::HLD, TAlicatError::MOV})},
        // Valve drive after the totalizer: the totalizer is the first extra number.
        {"valve drive", "A +014.70 +025.00 +019.44 +24883 +32000 +000.24 +045.10 N2",
         Kind::Reading, {14.7, 25, 19.44, 24883, 32000, 0.24}, "N2", false, {}},
        {"valve drive, codes", "A +014.70 +025.00 +019.44 +24883 +32000 +000.24 +045.10 N2 HLD",
         Kind::Reading, {14.7, 25, 19.44, 24883, 32000, 0.24}, "N2", true, Flags({TAlicatError::HLD})},
        {"line end CR LF", "A +014.70 +025.00 +019.44 +24883 +32000 +000.24 N2\r\n",
         Kind::Reading, {14.7, 25, 19.44, 24883, 32000, 0.24}, "N2", false, {}},
        {"unreadable setpoint without totalizer", "A +014.52 +021.50 +0000.1 +0000.2 01-6.3 N2", Kind::Malformed, {}, "", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AlicatStatusLine line = ParseAlicatStatusLine(c.reply);
        ASSERT_EQ(line.kind, c.kind);
        if (c.kind != Kind::Reading)
            continue;
        EXPECT_EQ(line.Numbers, c.numbers);
        EXPECT_EQ(line.GasLabel, c.gas);
        EXPECT_EQ(line.HasStatusFields, c.statusFields);
        EXPECT_EQ(line.ErrorFlags.Bits, c.flags.Bits);
    }
    EXPECT_EQ(ParseAlicatStatusLine("A +1 +2 +3 ERR +5 +6 Air").BadField, QStringLiteral("ERR"));
    EXPECT_EQ(ParseAlicatStatusLine("A +1 +2 +3 +4 --- N2").BadField, QStringLiteral("---"));
    // The totalizer is told apart from its absence, which reads as 0 as well.
    EXPECT_TRUE(ParseAlicatStatusLine("A +1 +2 +3 +4 +5 +0 N2").HasTotalizer);
    EXPECT_FALSE(ParseAlicatStatusLine("A +1 +2 +3 +4 +5 N2").HasTotalizer);
}

TEST(AlicatRepliesTest, FullScaleNeedsExactlyFourBlankSeparatedFields)
{
    using Kind = AlicatFullScale::Kind;
    const struct {
        QString reply;
        Kind kind;
        double value;
        QString unit;
    } cases[] = {
        {"A 50.00 12 SCCM", Kind::Read, 50.0, "SCCM"},
        {"A 1000 12 SLPM", Kind::Read, 1000.0, "SLPM"},
        {"A  50.00 12 SCCM", Kind::NotFourFields, 0, ""},
        {"A 50.00 12", Kind::NotFourFields, 0, ""},
        {"A 50.00 12 SCCM extra", Kind::NotFourFields, 0, ""},
        {"A ?", Kind::NotFourFields, 0, ""},
        {"", Kind::NotFourFields, 0, ""},
        {"A 50,00 12 SCCM", Kind::NotANumber, 0, "SCCM"},
        {"A 5O.00 12 SCCM", Kind::NotANumber, 0, "SCCM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        const AlicatFullScale fullScale = ParseAlicatFullScale(c.reply);
        EXPECT_EQ(fullScale.kind, c.kind);
        if (c.kind == Kind::Read) {
            EXPECT_DOUBLE_EQ(fullScale.Value, c.value);
        }
        if (c.kind != Kind::NotFourFields) {
            EXPECT_EQ(fullScale.UnitText, c.unit);
        }
    }
}

TEST(AlicatRepliesTest, ErrorsListsDescriptionsInCodeOrderWithoutTrailingLineBreak)
{
    TAlicatData data;
    QString desc = QStringLiteral("stale");
    EXPECT_FALSE(data.Errors(desc));
    EXPECT_EQ(desc, QString());

    data.ErrorFlags = Flags({TAlicatError::OPL, TAlicatError::LCK});
    EXPECT_TRUE(data.Errors(desc));
    EXPECT_EQ(desc, QStringLiteral("Display buttons are disabled.\r\nThe overpressure limit is enabled."));

    data.ErrorFlags = TAlicatErrors{0x07FF};
    EXPECT_TRUE(data.Errors(desc));
    const QStringList lines = desc.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), AlicatErrorCount);
    EXPECT_EQ(lines.first(),
              QStringLiteral("Internal communication error (not common \u2013 please contact Alicat for assistance)."));
    EXPECT_EQ(lines.last(), QStringLiteral("Volumetric flow rate overage (Volumetric flow is outside the measurable "
                                           "range, including the uncalibrated range)."));
}

TEST(AlicatRepliesTest, CodeNamesMatchExactly)
{
    for (int i = 0; i < AlicatErrorCount; ++i) {
        TAlicatError code;
        ASSERT_TRUE(TryAlicatErrorFromName(AlicatErrorName(TAlicatError(i)), code));
        EXPECT_EQ(int(code), i);
    }
    TAlicatError code;
    EXPECT_FALSE(TryAlicatErrorFromName(QStringLiteral("mov"), code));
    EXPECT_FALSE(TryAlicatErrorFromName(QStringLiteral("MOV "), code));
    EXPECT_EQ(AlicatErrorName(TAlicatError::VOV), QStringLiteral("VOV"));
}

} // namespace
