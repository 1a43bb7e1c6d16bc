// Flow logs: file names, the one-minute rule of the automatic save, overwriting, whole files
// only, and a failed save reported and tried again.
#include "WindowTestSupport.h"

#include "ui/DataTable.h"

#include <QFile>
#include <atomic>
#include <future>

namespace {

class FlowLogTest : public ::testing::Test {
protected:
    FlowLogTest()
        : clock(QDateTime(QDate(2025, 6, 13), QTime(14, 5, 10)))
        , log(fFolder.path(), [this](const QString& message) { reports << message; })
    {
    }

    QStringList Files() const
    {
        QStringList files = QDir(fFolder.path()).entryList(QDir::Files);
        files.sort();
        return files;
    }
    QByteArray Content(const QString& name) const
    {
        QFile file(fFolder.path() + u'/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString Save(bool force, const QString& suffix)
    {
        const QString path = log.FlowDataSave(table, force, suffix);
        EXPECT_TRUE(log.WaitForSaves(5000));
        return path;
    }

    QTemporaryDir fFolder;
    FakeClock clock;
    QStringList reports;
    FlowLog log;
    DataTable table;
};

TEST(FlowLogFileName, MinuteOfTheSaveAndTheSuffix)
{
    EXPECT_EQ(FlowLogFileName(QDateTime(QDate(2025, 6, 13), QTime(14, 5, 59)), "auto"), "2025-06-13 14_05 log auto.txt");
    EXPECT_EQ(FlowLogFileName(QDateTime(QDate(2025, 1, 2), QTime(0, 0)), "OnClose"), "2025-01-02 00_00 log OnClose.txt");
}

TEST_F(FlowLogTest, ForcedSaveOfAnEmptyTableWritesAnEmptyFileAutomaticNothing)
{
    EXPECT_TRUE(Save(false, "auto").isEmpty());
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_FALSE(Save(true, "StartSegmentsClick").isEmpty());
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_05 log StartSegmentsClick.txt"}));
    EXPECT_EQ(Content(Files()[0]), QByteArray());
}

TEST_F(FlowLogTest, SecondSaveInTheSameMinuteOverwritesTheFirst)
{
    table.AppendLine("first");
    Save(true, "StopSegmentsClick");
    table.AppendLine(QStringLiteral("µl/min"));
    clock.AdvanceMs(30000);
    Save(true, "StopSegmentsClick");
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_05 log StopSegmentsClick.txt"}));
    EXPECT_EQ(Content(Files()[0]), QByteArray("first\r\n\xB5l/min\r\n"));
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(FlowLogTest, AutomaticSaveAtMostOnceAMinuteReplacingItsPredecessor)
{
    table.AppendLine("row 1");
    EXPECT_FALSE(Save(false, "auto").isEmpty()); // the first save comes at once
    clock.AdvanceMs(59000);
    table.AppendLine("row 2");
    EXPECT_TRUE(Save(false, "auto").isEmpty());
    // A forced save goes ahead at once and counts as the last save.
    EXPECT_FALSE(Save(true, "StartSegmentsClick").isEmpty());
    clock.AdvanceMs(1500);
    EXPECT_TRUE(Save(false, "auto").isEmpty()); // within a minute of the forced save
    clock.AdvanceMs(60000);
    EXPECT_FALSE(Save(false, "auto").isEmpty());
    // The newer automatic file holds everything the older one did, which is removed.
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_06 log StartSegmentsClick.txt", "2025-06-13 14_07 log auto.txt"}));
    EXPECT_EQ(Content("2025-06-13 14_07 log auto.txt"), QByteArray("row 1\r\nrow 2\r\n"));

    // An emptied table starts a new series of automatic files: the last one of the old table stays.
    table.Clear();
    log.TableCleared();
    table.AppendLine("new");
    clock.AdvanceMs(61000);
    Save(false, "auto");
    EXPECT_EQ(Files().filter(" log auto.txt"), QStringList({"2025-06-13 14_07 log auto.txt", "2025-06-13 14_08 log auto.txt"}));
}

TEST_F(FlowLogTest, FailedSaveIsReportedLeavesNoPartFileAndIsRetriedAtOnce)
{
    table.AppendLine("kept");
    Save(false, "auto");
    const QString good = fFolder.path();
    // A folder that cannot be made: a file stands in its way.
    QFile blocker(good + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    log.SetFolder(good + "/blocked/Logs");
    clock.AdvanceMs(61000);
    table.AppendLine("more");
    EXPECT_FALSE(Save(false, "auto").isEmpty());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("Flow log not saved: " + good + "/blocked/Logs/2025-06-13 14_06 log auto.txt: "))
        << reports[0].toStdString();
    // The earlier complete file stays, nothing half-written beside it.
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_05 log auto.txt", "blocked"}));

    // The next tick's save goes ahead without waiting a minute, and replaces the old file.
    log.SetFolder(good);
    clock.AdvanceMs(1000);
    EXPECT_FALSE(Save(false, "auto").isEmpty());
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_06 log auto.txt", "blocked"}));
    EXPECT_EQ(Content("2025-06-13 14_06 log auto.txt"), QByteArray("kept\r\nmore\r\n"));
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(FlowLogTest, AutomaticSavesWaitingForASlowDiskAreReplacedNotQueued)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> writes{0};
    log.SetWriter([&](const QString& path, const DataTable::TSnapshot& text) {
        ++writes;
        released.wait();
        return FlowLog::WriteWhole(path, text);
    });
    table.AppendLine("1");
    log.FlowDataSave(table, false, "auto");
    ASSERT_TRUE(ServeUntil([&] { return writes == 1; }, 5000)); // the writer took it, and hangs
    for (const char* row : {"2", "3"}) {
        clock.AdvanceMs(61000);
        table.AppendLine(row);
        log.FlowDataSave(table, false, "auto");
    }
    EXPECT_FALSE(log.WaitForSaves(50));
    release.set_value();
    ASSERT_TRUE(log.WaitForSaves(5000));
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_07 log auto.txt"}));
    EXPECT_EQ(Content(Files()[0]), QByteArray("1\r\n2\r\n3\r\n"));
}

TEST_F(WindowTest, FlowDataSaveWritesTheDataTableBesideTheProgram)
{
    const FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(9, 30)));
    Tick();
    window->FlowDataSave(true, "ResetDevicesClick");
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    EXPECT_EQ(LogFiles(), QStringList({"2025-06-13 09_30 log ResetDevicesClick.txt", "2025-06-13 09_30 log auto.txt"}));
    QFile file(LogFolder() + "/2025-06-13 09_30 log auto.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()), window->MemoData().Text());
}

} // namespace
