// The data table: its header and row formats, and the table itself growing by whole lines.
#include "core/PointAndCommaLocales.h"
#include "devices/MFCThread.h"
#include "ui/DataTable.h"
#include "ui/DataTableLines.h"

#include <QScrollBar>
#include <algorithm>

namespace {

TEST(DataTableColumns, OneColumnPerDeviceAndUndefinedWithoutWorker)
{
    TMFCThread worker;
    TDeviceInfo a = MakeControllerRecord(dtMFCA, "1", "Cathode", NamedColor::Red, 100);
    a.ThreadMFC = &worker;
    a.FlowUnitUser.Name = "ml/min";
    a.FlowUnitUser.GasName = "Nitrogen";
    TDeviceInfo b = a;
    b.DevType = dtMFCB;
    b.FlowUnitUser.Name = "a very long unit name";
    TDeviceInfo unconfigured = MakeControllerRecord(dtMFCDemo, "2", "Virtual Demo", NamedColor::Green, 50);

    const QStringList lines = DataTableColumns({a, b, unconfigured});
    ASSERT_EQ(lines.size(), 5);
    const QString rule = "---------------------+-" + QString("----------------+-").repeated(3);
    EXPECT_EQ(lines[0], rule);
    EXPECT_EQ(lines[0].size(), 23 + 3 * 18);
    EXPECT_EQ(lines[1], "-             Device |           MFC-A |           MFC-B |             MFC | ");
    // Right-aligned in 15: longer texts keep their last 15 characters.
    EXPECT_EQ(lines[2], "-               Unit |          ml/min |  long unit name |       Undefined | ");
    EXPECT_EQ(lines[3], "-                Gas |        Nitrogen |        Nitrogen |       Undefined | ");
    EXPECT_EQ(lines[4], rule);
    for (const QString& line : lines)
        EXPECT_EQ(line.size(), 23 + 3 * 18) << line.toStdString();
}

using DataRowCells = PointAndCommaLocales;

TEST_P(DataRowCells, ValueWithOneToSixDecimalsOrAQuestionMark)
{
    struct Case {
        double flow;
        const char* text;
    };
    const Case cases[] = {
        {1.5, "1@5"},       {2, "2@0"},           {0.1234567, "0@123457"}, {-9999, "-9999@0"},
        {-9999.5, "?"},     {NoReading, "?"},     {0, "0@0"},              {12345.25, "12345@25"},
        {123456789.123456, "123456789@123456"},
    };
    for (const Case& c : cases) {
        const QString text = Local(c.text);
        // A flow wider than the column is shown whole, never cut to its last digits.
        EXPECT_EQ(DataRowCell(c.flow), QString(std::max<qsizetype>(0, 15 - text.size()), u' ') + text + " | ")
            << c.flow;
    }
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(DataRowCells);

TEST(DataRowStamp, MomentRightAlignedInTwenty)
{
    const QDateTime moment(QDate(2025, 6, 13), QTime(4, 5, 9));
    EXPECT_EQ(DataRowStamp(moment), " 2025-06-13 04:05:09 | ");
}

TEST(DataTable, GrowsByLinesKeptAsEightBitTextWithCrLf)
{
    DataTable table;
    EXPECT_FALSE(table.HasText());
    table.AppendLine("   ");
    EXPECT_FALSE(table.HasText()); // blanks only
    table.AppendLine(QStringLiteral("µl/min | ?"));
    table.AppendLine(QStringLiteral("Ω"));
    EXPECT_TRUE(table.HasText());
    ASSERT_EQ(table.LineCount(), 3);
    EXPECT_EQ(table.Line(1), QStringLiteral("µl/min | ?"));
    EXPECT_EQ(table.Line(2), "?"); // no 8-bit form
    EXPECT_EQ(table.Text(), QStringLiteral("   \r\nµl/min | ?\r\n?\r\n"));
    QByteArray joined;
    for (const QByteArray& block : table.Snapshot())
        joined += block;
    EXPECT_EQ(joined, QByteArray("   \r\n\xB5l/min | ?\r\n?\r\n"));

    table.Clear();
    EXPECT_EQ(table.LineCount(), 0);
    EXPECT_FALSE(table.HasText());
    EXPECT_TRUE(table.Snapshot().empty());
}

TEST(DataTable, ASnapshotStaysAsTakenWhileTheTableGrowsAcrossBlocks)
{
    DataTable table;
    const QString line(100, u'x');
    const qsizetype perBlock = DataTable::BlockCapacity / 102;
    for (qsizetype i = 0; i < perBlock; ++i)
        table.AppendLine(line);
    const DataTable::TSnapshot taken = table.Snapshot();
    for (qsizetype i = 0; i < 3 * perBlock; ++i)
        table.AppendLine(QString::number(i));

    qsizetype takenBytes = 0;
    for (const QByteArray& block : taken)
        takenBytes += block.size();
    EXPECT_EQ(takenBytes, perBlock * 102);
    EXPECT_GT(table.Snapshot().size(), taken.size());
    EXPECT_EQ(table.Line(perBlock), "0");
    EXPECT_EQ(table.Line(4 * perBlock - 1), QString::number(3 * perBlock - 1));
    // Blocks hold whole lines and never exceed their capacity.
    for (const QByteArray& block : table.Snapshot()) {
        EXPECT_LE(block.size(), DataTable::BlockCapacity);
        EXPECT_TRUE(block.endsWith("\r\n"));
    }
}

TEST(DataTable, ScrollsToTheLastLine)
{
    DataTable table;
    table.resize(300, 100);
    table.show();
    for (int i = 0; i < 200; ++i)
        table.AppendLine(QString::number(i));
    EXPECT_EQ(table.FirstVisibleLine(), 0);
    table.ScrollToLastLine();
    EXPECT_GT(table.FirstVisibleLine(), 150);
    EXPECT_EQ(table.verticalScrollBar()->value(), table.verticalScrollBar()->maximum());
}

} // namespace
