#include "core/Errors.h"
#include "core/NumberText.h"
#include "core/SegmentProgram.h"
#include "core/UserMessages.h"
#include "PointAndCommaLocales.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <gtest/gtest.h>

namespace {

const QString Crlf = QStringLiteral("\r\n");
const QString PastLastNote = QStringLiteral("Hard coded zero flow for past last programmed point.");

QString Program(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromLatin1(line);
    return list.join(Crlf);
}

// Program texts always carry a point; the locale only changes how numbers are shown.
class SegmentProgramTest : public PointAndCommaLocales {};

struct AtCase {
    double t;
    double setpoint;
};

TEST_P(SegmentProgramTest, RampsMoveFromThePreviousPointAndStepsHoldIt)
{
    struct ProgramCases {
        QString program;
        std::vector<AtCase> cases;
    };
    const ProgramCases programs[] = {
        {Program({"0 0 Step", "4 30 Ramp", "7 10 Ramp"}),
         {{2, 15}, {4, 30}, {5.5, 20}, {7, 10}, {7.01, 0}, {0, 0}, {-3, 0}}},
        {Program({"0 30 Step", "3 80 Ramp", "8 0 Step"}),
         {{0, 0}, {1.5, 55}, {3, 80}, {5, 80}, {8, 80}, {8.5, 0}, {0.001, 30 + 0.001 * 50 / 3}}},
        // A first point that is a ramp rises from 0 at time 0.
        {Program({"10 100 Ramp", "12 100 Step Some_random_comment", "12.5 30 Ramp", "15 50 Step",
                  "20 30 Step", "24 0 Ramp"}),
         {{5, 50}, {11, 100}, {12.25, 65}, {14, 30}, {17, 50}, {22, 15}, {24, 0}, {25, 0}, {-1, 0}}},
        // Before the start a first ramp has not begun, however far back the time lies.
        {Program({"1 40 Ramp"}), {{-1, 0}, {-60, 0}, {-std::numeric_limits<double>::infinity(), 0}, {0.5, 20}}},
        // Times near the largest doubles interpolate without overflowing.
        {Program({"0 0 Step", "1e308 100 Ramp", "1.7e308 20 Ramp"}),
         {{5e307, 50}, {1e308, 100}, {1.35e308, 60}, {1.7e308, 20}}},
    };
    MessageCapture messages;
    for (const ProgramCases& p : programs)
        for (const AtCase& c : p.cases)
            EXPECT_NEAR(SegmentAt(p.program, c.t).Setpoint, c.setpoint, 1e-9) << p.program.toStdString() << " at " << c.t;
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_P(SegmentProgramTest, ResultRecordTellsWhichRuleApplied)
{
    const QString program = Program({"2 10 Step note_a", "5 40 Ramp", "8 20 Step"});

    const TSegment ramp = SegmentAt(program, 3.5);
    EXPECT_DOUBLE_EQ(ramp.Time, 3.5);
    EXPECT_DOUBLE_EQ(ramp.Setpoint, 25);
    EXPECT_TRUE(ramp.aType.isEmpty());
    EXPECT_TRUE(ramp.Note.isEmpty());

    // A step hands back the previous point whole.
    const TSegment held = SegmentAt(program, 6);
    EXPECT_DOUBLE_EQ(held.Time, 5);
    EXPECT_DOUBLE_EQ(held.Setpoint, 40);
    EXPECT_EQ(held.aType, "Ramp");
    EXPECT_EQ(held.Index, 1);

    const TSegment noted = SegmentAt(Program({"2 10 Step note_a", "5 40 Step"}), 3);
    EXPECT_EQ(noted.Note, "note_a");
    EXPECT_EQ(noted.Index, 0);

    const TSegment start = SegmentAt(program, 1);
    EXPECT_EQ(start.Index, SegmentIndexStart);
    EXPECT_EQ(start.aType, "Step");
    EXPECT_DOUBLE_EQ(start.Setpoint, 0);

    const TSegment past = SegmentAt(program, 9);
    EXPECT_DOUBLE_EQ(past.Time, 9);
    EXPECT_DOUBLE_EQ(past.Setpoint, 0);
    EXPECT_EQ(past.Note, PastLastNote);

    for (double t : {-1.0, 0.0, 100.0}) {
        const TSegment empty = SegmentAt(QString(), t);
        EXPECT_DOUBLE_EQ(empty.Setpoint, 0);
        EXPECT_EQ(empty.Note, PastLastNote);
    }
}

TEST_P(SegmentProgramTest, OnlyExactRampTypeRamps)
{
    MessageCapture messages;
    const QString lower = QStringLiteral("10 100 ramp");
    EXPECT_TRUE(ValidateSegmentProgram(lower));
    EXPECT_DOUBLE_EQ(SegmentAt(lower, 5).Setpoint, 0);
    EXPECT_DOUBLE_EQ(SegmentAt(QStringLiteral("10 100 Ramp"), 5).Setpoint, 50);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_P(SegmentProgramTest, RampAtTimeZeroGivesItsOwnSetpoint)
{
    const QString program = Program({"0 40 Ramp", "10 60 Ramp"});
    for (double t : {0.0, -2.0}) {
        const TSegment at = SegmentAt(program, t);
        EXPECT_DOUBLE_EQ(at.Setpoint, 40) << t;
        EXPECT_DOUBLE_EQ(at.Time, t);
    }
    EXPECT_DOUBLE_EQ(SegmentAt(program, 5).Setpoint, 50);
}

TEST_P(SegmentProgramTest, UnreadableLineShowsOneMessagePerEvaluation)
{
    MessageCapture messages;
    // The unreadable line still counts as the previous point, with nothing read from it.
    const QString program = Program({"1 10 Step", "oops", "5 20 Step"});
    EXPECT_DOUBLE_EQ(SegmentAt(program, 3).Setpoint, 0);
    EXPECT_EQ(messages.Texts(), QStringList{"Failed to read segment"});
}

TEST_P(SegmentProgramTest, LinesEndAtCrLfCrOrLf)
{
    struct Case {
        QString text;
        int count;
    };
    const Case cases[] = {
        {"", 0},
        {"1 2 Step", 1},
        {"1 2 Step\r\n", 1},
        {"1 2 Step\r\n3 4 Step", 2},
        {"1 2 Step\r3 4 Step\n5 6 Step", 3},
        {"1 2 Step\n\n5 6 Step", 3},
        {"\r\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentCount(c.text), c.count) << c.text.toStdString();
        EXPECT_EQ(SegmentProgramLines(c.text).size(), c.count);
    }
    TSegment segment;
    EXPECT_TRUE(ReadSegment(2, QStringLiteral("1 2 Step\r3 4 Step\n5 6 Ramp"), segment));
    EXPECT_DOUBLE_EQ(segment.Time, 5);
    EXPECT_EQ(segment.aType, "Ramp");
}

TEST_P(SegmentProgramTest, ReadSegmentSplitsAtRunsOfBlanksAndControls)
{
    struct Case {
        QString line;
        double time;
        double setpoint;
        QString type;
        QString note;
    };
    const Case cases[] = {
        {"12.5 30 Ramp", 12.5, 30, "Ramp", "kept"},
        {"  12   100\tStep  Some_random_comment ", 12, 100, "Step", "Some_random_comment"},
        {"1 2 step a b", 1, 2, "step", "kept"},
        {"1 2 \"St ep\" \"a \"\"q\"\" b\"", 1, 2, "St ep", "a \"q\" b"},
        {"\"3.5\" 2 Step", 3.5, 2, "Step", "kept"},
        {"1e1 +5 Step", 10, 5, "Step", "kept"},
    };
    MessageCapture messages;
    for (const Case& c : cases) {
        TSegment segment;
        segment.Note = QStringLiteral("kept");
        EXPECT_TRUE(ReadSegment(1, QStringLiteral("0 0 Step\r\n") + c.line, segment)) << c.line.toStdString();
        EXPECT_DOUBLE_EQ(segment.Time, c.time);
        EXPECT_DOUBLE_EQ(segment.Setpoint, c.setpoint);
        EXPECT_EQ(segment.aType, c.type);
        EXPECT_EQ(segment.Index, 1);
        EXPECT_EQ(segment.Note, c.note);
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST(SegmentNumbers, LinesReadNumbersExactlyAsStrToFloatDot)
{
    QStringList texts{"0",     "-0",    "+.5",  "5.",   "0.1",   "4.35",  "12.5",   "0.30000000000000004",
                      "1e22",  "1e23",  "1E-22", "1e-23", "9007199254740992", "9007199254740993",
                      "900719925474099.9", "123456789012345678901234567890", "0.000000000000000000001",
                      "2.2250738585072014e-308", "1.7976931348623157e308", "00012.50000"};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-6, 6);
    for (int i = 0; i < 2000; ++i) {
        const double value = std::pow(10.0, spread(random)) * (i % 2 ? 1 : -1);
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, i % 3 ? "%.17g" : "%.6f", value);
        texts << QString::fromLatin1(buffer);
    }
    for (const QString& text : texts) {
        TSegment segment;
        ASSERT_TRUE(ReadSegment(0, text + QStringLiteral(" ") + text + QStringLiteral(" Step"), segment)) << text.toStdString();
        const double expected = StrToFloatDot(text);
        EXPECT_EQ(std::memcmp(&segment.Time, &expected, sizeof expected), 0) << text.toStdString();
        EXPECT_EQ(std::memcmp(&segment.Setpoint, &expected, sizeof expected), 0) << text.toStdString();
    }
}

TEST_P(SegmentProgramTest, ReadSegmentPastTheEndAndFailures)
{
    MessageCapture messages;
    TSegment segment;
    for (int index : {1, 5, -1}) {
        EXPECT_FALSE(ReadSegment(index, QStringLiteral("1 2 Step"), segment));
        EXPECT_DOUBLE_EQ(segment.Time, -1);
        EXPECT_DOUBLE_EQ(segment.Setpoint, -1);
        EXPECT_EQ(segment.aType, "ID not found");
        EXPECT_EQ(segment.Index, SegmentIndexNone);
        EXPECT_TRUE(segment.Note.isEmpty());
    }
    EXPECT_TRUE(messages.Texts().isEmpty());

    struct Case {
        QString line;
        double time;
        double setpoint;
    };
    // What was read before the failure stays in the record.
    const Case failures[] = {
        {"5 abc Step", 5, 7},
        {"5 6", 5, 6},
        {"5", 5, 7},
        {" \t ", 9, 7},
        {"1,5 6 Step", 9, 7},
        {"x 6 Step", 9, 7},
    };
    for (const Case& c : failures) {
        messages.Clear();
        TSegment partial{9, 7, QStringLiteral("before"), 3, QStringLiteral("note")};
        EXPECT_FALSE(ReadSegment(0, c.line, partial)) << c.line.toStdString();
        EXPECT_DOUBLE_EQ(partial.Time, c.time);
        EXPECT_DOUBLE_EQ(partial.Setpoint, c.setpoint);
        EXPECT_EQ(partial.aType, "before");
        EXPECT_EQ(messages.Texts(), QStringList{"Failed to read segment"});
    }
}

TEST_P(SegmentProgramTest, ValidationReportsFindingsInOrder)
{
    struct Case {
        QString text;
        bool valid;
        QStringList messages;
    };
    const Case cases[] = {
        {"", true, {}},
        {Program({"0 0 Step", "4 30 Ramp", "7 10 ramp Note_1"}), true, {}},
        {"10 100 ramp", true, {}},
        {"4 30 Ramp\r\n", true, {}},
        // Two blanks make an empty second field, so the setpoint lands in the type's place.
        {"4  30 Ramp", false, {"Invalid S/R"}},
        {"4 101 Ramp", false, {"Setpoint out of bounds:101"}},
        {"4 100.5 Ramp", false, {Local("Setpoint out of bounds:100@5")}},
        {"-1 50 Step", false, {"Invalid character: -", "Time out of bounds: -1"}},
        {"4 30", false, {"Invalid element count"}},
        {"4 30 Ramp a b", false, {"Invalid element count"}},
        {"4 30 Ramp\r\n\r\n5 30 Step", false, {"Invalid element count"}},
        {"4 30 Rmp\r\n5 101 Step", false, {"Invalid S/R"}},
        // Format findings do not stop the checks.
        {Program({"x 30 Step", "5 y Step", "6 101 Step", "7 -5 Step"}), false,
         {"Invalid character: -", "Invalid time format", "Invalid setpoint format", "Setpoint out of bounds:101"}},
        {"x y Step", false, {"Invalid time format", "Invalid setpoint format"}},
        {"4,5 30 Step", false, {"Invalid character: ,", "Invalid time format"}},
        {"1\t2 Step", false, {"Invalid character: \t", "Invalid element count"}},
        {"1 2 Step \xF0\x9F\x98\x80", true, {"Invalid character: \xF0\x9F\x98\x80"}},
        // Many characters make one message: the first, the count and the first few kinds.
        {"0 10 Step " + QString(5000, u','), true,
         {"Invalid character: ,\n5000 characters are not allowed in all, the first of them: ,"}},
        {"4,5 30 Step #;\t", false,
         {"Invalid character: ,\n4 characters are not allowed in all, the first of them: , # ; U+0009",
          "Invalid time format"}},
        {"0 1 Step " + QString::fromLatin1("!\"#$&'()+,:;<=>?"), true,
         {"Invalid character: !\n16 characters are not allowed in all, the first of them: ! \" # $ & ' ( ) + ,"}},
    };
    for (const Case& c : cases) {
        MessageCapture messages;
        EXPECT_EQ(ValidateSegmentProgram(c.text), c.valid) << c.text.toStdString();
        EXPECT_EQ(messages.Texts(), c.messages) << c.text.toStdString();
    }
}

TEST_P(SegmentProgramTest, DurationIsTheLastTimeOfAValidProgram)
{
    MessageCapture messages;
    EXPECT_DOUBLE_EQ(SegmentProgramDuration(QString()), 0);
    EXPECT_DOUBLE_EQ(SegmentProgramDuration(Program({"10 100 Ramp", "12 100 Step Some_random_comment", "12.5 30 Ramp",
                                                     "15 50 Step", "20 30 Step", "24 0 Ramp"})),
                     24);
    EXPECT_DOUBLE_EQ(SegmentProgramDuration(QStringLiteral("1.5 100 Ramp\r\n8 0 Ramp\r\n")), 8);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_DOUBLE_EQ(SegmentProgramDuration(QStringLiteral("5 120 Step")), 0);
    EXPECT_EQ(messages.Texts(), QStringList{"Setpoint out of bounds:120"});
}

TEST(SegmentNotes, SanitizeKeepsOnlyTheAllowedCharacters)
{
    const std::pair<QString, QString> cases[] = {
        {"a b_c.d", "a_bcd"},
        {"50% N2 @ 20*C / dry", "50%_N2_@_20*C_/_dry"},
        {"", ""},
        {"\u00e4\t-+,;\"", ""},
    };
    for (const auto& [note, sanitized] : cases)
        EXPECT_EQ(SanitizeNote(note), sanitized) << note.toStdString();
}

TEST(SegmentMerge, NewLineReplacesThePointAtTheSameMinute)
{
    struct Case {
        QString program;
        QString line;
        QString merged;
    };
    const Case cases[] = {
        {"10 50 Step\r\n5 20 Ramp", "10 70 Ramp", "5 20 Ramp\r\n10 70 Ramp\r\n"},
        {"", "3 40 Step note", "3 40 Step note\r\n"},
        {"2 10 Step a\r\n2 20 Step b\r\n100 0 Ramp", "30 5 Ramp", "2 20 Step b\r\n30 5 Ramp\r\n100 0 Ramp\r\n"},
        // Lines of other field counts are dropped.
        {"1 2\r\n4 5 Step x y\r\n\r\n6 7 Step", "8 9 Step", "6 7 Step\r\n8 9 Step\r\n"},
        {"-5 10 Step\r\n+7 20 Step", "0 0 Step", "-5 10 Step\r\n0 0 Step\r\n7 20 Step\r\n"},
    };
    for (const Case& c : cases) {
        QString program = c.program;
        MergeSegmentLine(program, c.line);
        EXPECT_EQ(program, c.merged) << c.program.toStdString();
        QString offending;
        EXPECT_TRUE(SegmentProgramHasWholeMinutes(c.program, offending));
    }
}

TEST(SegmentMerge, FractionalMinuteIsRefusedAndLeavesTheProgramUnchanged)
{
    const std::pair<QString, QString> cases[] = {
        {"10 100 Ramp\r\n12.5 30 Ramp", "5 20 Step"},
        {"10 100 Ramp", "7.5 20 Step"},
        {"99999999999 1 Step", "5 20 Step"},
        {" 5 1 Step", "6 20 Step"},
    };
    for (const auto& [original, line] : cases) {
        QString program = original;
        EXPECT_THROW(MergeSegmentLine(program, line), ConvertError) << original.toStdString();
        EXPECT_EQ(program, original);
    }
    QString offending;
    EXPECT_FALSE(SegmentProgramHasWholeMinutes(cases[0].first, offending));
    EXPECT_EQ(offending, "12.5 30 Ramp");
}

TEST(SegmentRows, RowsAndTextConvertBothWays)
{
    const QList<TSegmentRow> rows{
        {"0", {"0", "Step"}},
        {"4.5", {"30", "Ramp", "warm up, then hold."}},
        {"7", {"10", "Ramp"}},
        {"8", {"0", "Step", "\u00e9\u00e9!"}}, // a note of nothing a note can hold
    };
    const QString text = SegmentRowsToText(rows);
    EXPECT_EQ(text, "0 0 Step\r\n4.5 30 Ramp warm_up_then_hold\r\n7 10 Ramp\r\n8 0 Step");

    QList<TSegmentRow> back{{"stale", {}}};
    MessageCapture messages;
    EXPECT_TRUE(SegmentTextToRows(text, back));
    ASSERT_EQ(back.size(), 4);
    EXPECT_EQ(back[1].Caption, "4.5");
    EXPECT_EQ(back[1].SubItems, (QStringList{"30", "Ramp", "warm up then hold"}));
    EXPECT_EQ(back[2].SubItems, (QStringList{"10", "Ramp"}));
    EXPECT_TRUE(messages.Texts().isEmpty());

    EXPECT_EQ(SegmentRowsToText({}), "");
}

TEST(SegmentRows, UnreadableLineStopsAndKeepsEarlierRows)
{
    MessageCapture messages;
    QList<TSegmentRow> rows;
    EXPECT_FALSE(SegmentTextToRows(QStringLiteral("1 2 Step\r\n3 4\r\n5 6 Step"), rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Caption, "1");
    EXPECT_EQ(messages.Texts(), QStringList{"Failed to read segment program"});

    // Five fields: no note.
    EXPECT_TRUE(SegmentTextToRows(QStringLiteral("1 2 Step a b"), rows));
    EXPECT_EQ(rows[0].SubItems.size(), 2);
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(SegmentProgramTest);

} // namespace
