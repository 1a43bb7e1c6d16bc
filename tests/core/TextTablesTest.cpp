#include "core/Clock.h"
#include "core/TextTables.h"
#include "core/UserMessages.h"
#include "PointAndCommaLocales.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

const QString Crlf = QStringLiteral("\r\n");

class TextTablesTest : public PointAndCommaLocales {};

TEST(TextTables, PaddingCutsToWidthAndMendsTheFirstComma)
{
    EXPECT_EQ(PadLeft("12,5", 8, true), "    12.5");
    EXPECT_EQ(PadLeft("12,5", 8), "    12,5");
    EXPECT_EQ(PadLeft("abcdefghij", 4), "ghij");
    EXPECT_EQ(PadLeft("1,2,3", 5, true), "1.2,3");
    EXPECT_EQ(PadRight("1,2,3", 6), "1.2,3 ");
    EXPECT_EQ(PadRight("abcdef", 3), "abc");
    EXPECT_EQ(PadLeft("x", 0), "");
    EXPECT_EQ(PadRight("x", -2), "");
}

TEST(TextTables, NumberPaddingShowsANumberTooWideWhole)
{
    struct Case {
        const char* number;
        int width;
        const char* cell;
    };
    const Case cases[] = {
        {"12.5", 8, "    12.5"}, {"447.506", 7, "447.506"}, {"-12.5", 5, "-12.5"}, {"", 3, "   "},
        {"14447.506", 7, "14447.506"}, {"12345.000", 8, "12345.000"}, {"-12.5", 4, "-12.5"}, {"7", 0, "7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadLeftNumber(c.number, c.width), c.cell) << c.number << " in " << c.width;
}

TEST(TextTables, NthFieldCountsEmptyFields)
{
    EXPECT_EQ(NthField("a;;b", u';', 3), "b");
    EXPECT_EQ(NthField("a;;b", u';', 2), "");
    EXPECT_EQ(NthField("a;;b", u';', 4), "");
    EXPECT_EQ(NthField("a;;b", u';', 0), "");
    EXPECT_EQ(NthField("a;;b", u';', 1), "a");
}

TEST(TextTables, TrimRemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(TrimBlanksAndControls(u"\t COMX \r\n\x01"), "COMX");
    EXPECT_EQ(TrimBlanksAndControls(u" a b "), "a b");
    EXPECT_EQ(TrimBlanksAndControls(u" \r\n "), "");
}

QDateTime FixedMorning() { return QDateTime(QDate(2024, 3, 5), QTime(7, 4, 9, 45)); }
QDateTime FixedEvening() { return QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59, 999)); }

TEST(TextTables, LogTimeStampIsThirteenCharactersOfTheClock)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const ClockSource previous = SetClockSource(&FixedMorning);
    EXPECT_EQ(LogTimeStamp(), "07:04:09:045 ");
    SetClockSource(&FixedEvening);
    EXPECT_EQ(LogTimeStamp(), "23:59:59:999 ");

    // Finnish writes hours and minutes apart with a point.
    QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
    const QString stamp = LogTimeStamp();
    EXPECT_EQ(stamp.size(), 13);
    EXPECT_EQ(stamp, "23.59.59.999 ");
    SetClockSource(previous);
    QLocale::setDefault(saved);
}

TEST_P(TextTablesTest, TimeTextLongAndShortForms)
{
    struct Case {
        double minutes;
        const char* longForm;
        const char* shortForm;
    };
    const Case cases[] = {
        {1565.5, "1 day, 2 hours, 5@5 minutes", "1d 2h 5m 30s"},
        {61, "0 days, 1 hour, 1 minute", "1h 1m"},
        {0, "0 days, 0 hours, 0 minutes", ""},
        {1440, "1 day, 0 hours, 0 minutes", "1d"},
        {2 * 1440 + 120 + 0.25, "2 days, 2 hours, 0@25 minutes", "2d 2h 15s"},
        {4, "0 days, 0 hours, 4 minutes", "4m"},
        // A remainder of 59.9 seconds rounds up to 60s; half a second rounds to even.
        {59.9 / 60, "0 days, 0 hours, 0@998333333333333 minutes", "60s"},
        {2.5 / 60, "0 days, 0 hours, 0@0416666666666667 minutes", "2s"},
        {3.5 / 60, "0 days, 0 hours, 0@0583333333333333 minutes", "4s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeText(0, c.minutes), Local(QString::fromLatin1(c.longForm))) << c.minutes;
        EXPECT_EQ(TimeText(1, c.minutes), QString::fromLatin1(c.shortForm)) << c.minutes;
    }
    EXPECT_EQ(TimeText(2, 61), "");
    EXPECT_EQ(TimeText(-1, 61), "");
}

TEST_P(TextTablesTest, TimeTextSurvivesNonFiniteMinutes)
{
    for (double minutes : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1e300}) {
        TimeText(0, minutes);
        TimeText(1, minutes);
    }
}

TEST_P(TextTablesTest, MergedTableOfOneDevice)
{
    const QString table = MergedSegmentTable({"m", "1", "COMX|MFC|0 0 Step\r\n4 30 Ramp"});
    const QString expected = QStringLiteral("  Time,m |            Time |       COMX MFC | ") + Crlf
                             + QStringLiteral("---------+-----------------+-Setpoint--Type-+-") + Crlf
                             + Local("   0@000 |                 |        0  Step | ") + Crlf
                             + Local("   4@000 |              4m |       30  Ramp | ") + Crlf;
    EXPECT_EQ(table, expected);
}

TEST_P(TextTablesTest, MergedTableSharesLinesAndKeepsDeviceColumns)
{
    MessageCapture messages;
    const QString table = MergedSegmentTable({"h", Local("60"), "COM3|MFC-A|4 30 Ramp\r\n90 50 Step",
                                              "COM1|Pump|0.5 12.5 Step\r\n4 70 Ramp", "COM2|MFC-B|"});
    const QStringList lines = table.split(Crlf);
    ASSERT_EQ(lines.size(), 6) << table.toStdString();
    EXPECT_EQ(lines[0], "  Time,h |            Time |     COM3 MFC-A |      COM1 Pump |     COM2 MFC-B | ");
    EXPECT_EQ(lines[1], "---------+-----------------+-Setpoint--Type-+-Setpoint--Type-+-Setpoint--Type-+-");
    const QString empty = QStringLiteral("               | ");
    EXPECT_EQ(lines[2], Local("   0@008 |             30s |                | ") + Local("    12@5  Step | ") + empty);
    EXPECT_EQ(lines[3], Local("   0@067 |              4m |       30  Ramp |       70  Ramp | ") + empty);
    EXPECT_EQ(lines[4], Local("   1@500 |          1h 30m |       50  Step | ") + empty + empty);
    EXPECT_EQ(lines[5], "");
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_P(TextTablesTest, MergedTableShowsLongTimesAndSetpointsWhole)
{
    // Programs run up to ten years; a setpoint may carry many decimals. A row whose figures do
    // not fit its cells gets wider rather than showing other numbers.
    const QStringList lines = MergedSegmentTable({"m", "1", "COMX|MFC|4 30 Ramp\r\n12345 33.3333333333 Step\r\n"
                                                            "5259599.5 100 Ramp"})
                                  .split(Crlf);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "  Time,m |            Time |       COMX MFC | ");
    EXPECT_EQ(lines[2], Local("   4@000 |              4m |       30  Ramp | "));
    EXPECT_EQ(lines[3], Local("12345@000 |      8d 13h 45m | 33@3333333333  Step | "));
    EXPECT_EQ(lines[4], Local("5259599@500 | 3652d 11h 59m 30s |      100  Ramp | "));
}

TEST_P(TextTablesTest, MergedTableShowsTheLaterPointOfOneSecond)
{
    const QString table = MergedSegmentTable({"m", "1", "COMX|MFC|4 30 Ramp\r\n4.001 60 Step", "COMY|MFC|4 10 Step"});
    const QStringList lines = table.split(Crlf);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], Local("   4@000 |              4m |       60  Step |       10  Step | "));
}

TEST_P(TextTablesTest, MergedTableWithAnotherUnitLetterLeavesTheFirstCellEmpty)
{
    const QStringList lines = MergedSegmentTable({"s", "1", "COMX|MFC|2 5 Step"}).split(Crlf);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0].left(11), "  Time,s | ");
    EXPECT_EQ(lines[2], " |              2m |        5  Step | ");
}

TEST_P(TextTablesTest, MergedTableSkipsUnreadableLines)
{
    MessageCapture messages;
    const QStringList lines = MergedSegmentTable({"m", "1", "COMX|MFC|2 5 Step\r\nbroken\r\n3 6 Step"}).split(Crlf);
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(messages.Texts(), QStringList{"Failed to read segment"});
}

TEST_P(TextTablesTest, MergedTableRefusals)
{
    EXPECT_EQ(MergedSegmentTable({}), "No segment programs to format");
    EXPECT_EQ(MergedSegmentTable({"m", "1"}), "No segment programs to format");
    EXPECT_EQ(MergedSegmentTable({"", "1", "COMX|MFC|1 1 Step"}), "Time unit name not provided");
    for (const char* factor : {"", "x", "0", "-60"})
        EXPECT_EQ(MergedSegmentTable({"m", factor, "COMX|MFC|1 1 Step"}), "Time conversion factor not provided") << factor;
    // The factor is written in the user's locale.
    const QString foreign = QLocale().decimalPoint() == u"." ? QStringLiteral("1,5") : QStringLiteral("1.5");
    EXPECT_EQ(MergedSegmentTable({"m", foreign, "COMX|MFC|1 1 Step"}), "Time conversion factor not provided");
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(TextTablesTest);

} // namespace
