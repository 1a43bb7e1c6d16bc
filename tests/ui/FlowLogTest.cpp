// Flow logs: file names, the one-minute rule of the automatic save, overwriting only this
// run's own files, whole files only, and a failed save reported, shown and tried again.
#include "WindowTestSupport.h"

#include "core/RunMark.h"
#include "ui/DataTable.h"
#include "ui/MessageLog.h"

#include <QLabel>

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
    // The name of this run's automatic file of that minute of 2025-06-13, e.g. "14_05".
    static QString Auto(const char* minute)
    {
        return QStringLiteral("2025-06-13 %1 log auto %2.txt").arg(QString::fromLatin1(minute), RunMark());
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
    EXPECT_EQ(Files(), QStringList({"2025-06-13 14_06 log StartSegmentsClick.txt", Auto("14_07")}));
    EXPECT_EQ(Content(Auto("14_07")), QByteArray("row 1\r\nrow 2\r\n"));

    // An emptied table starts a new series of automatic files: the last one of the old table stays.
    table.Clear();
    log.TableCleared();
    table.AppendLine("new");
    clock.AdvanceMs(61000);
    Save(false, "auto");
    EXPECT_EQ(Files().filter(" log auto "), QStringList({Auto("14_07"), Auto("14_08")}));
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
    EXPECT_TRUE(reports[0].startsWith("Flow log not saved: " + good + "/blocked/Logs/" + Auto("14_06") + ": "))
        << reports[0].toStdString();
    // The earlier complete file stays, nothing half-written beside it.
    EXPECT_EQ(Files(), QStringList({Auto("14_05"), "blocked"}));

    // The next tick's save goes ahead without waiting a minute, and replaces the old file.
    log.SetFolder(good);
    clock.AdvanceMs(1000);
    EXPECT_FALSE(Save(false, "auto").isEmpty());
    EXPECT_EQ(Files(), QStringList({Auto("14_06"), "blocked"}));
    EXPECT_EQ(Content(Auto("14_06")), QByteArray("kept\r\nmore\r\n"));
    EXPECT_EQ(reports.size(), 1);
}

// A run that died left its files; a run started within the same minute neither overwrites
// nor removes any of them, and replaces only its own automatic file.
TEST_F(FlowLogTest, ARestartWithinTheSameMinuteKeepsEveryFileOfTheEarlierRun)
{
    {
        FlowLog earlier(fFolder.path(), {});
        DataTable earlierTable;
        earlierTable.AppendLine("earlier run");
        earlier.FlowDataSave(earlierTable, false, "auto");
        earlier.FlowDataSave(earlierTable, true, "StopSegmentsClick");
        ASSERT_TRUE(earlier.WaitForSaves(5000));
    }
    const QStringList earlierFiles = Files();
    ASSERT_EQ(earlierFiles.size(), 2);

    clock.AdvanceMs(20000);
    table.AppendLine("this run");
    Save(false, "auto");
    Save(true, "StopSegmentsClick");
    Save(true, "StopSegmentsClick"); // this run's own file of that name is overwritten
    clock.AdvanceMs(61000);
    table.AppendLine("more");
    Save(false, "auto");

    for (const QString& file : earlierFiles)
        EXPECT_EQ(Content(file), QByteArray("earlier run\r\n")) << file.toStdString();
    const QString stop = "2025-06-13 14_05 log StopSegmentsClick (2).txt";
    EXPECT_EQ(Files(), (QStringList{stop, earlierFiles[0], earlierFiles[1], Auto("14_06")}));
    EXPECT_EQ(Content(stop), QByteArray("this run\r\n"));
    EXPECT_TRUE(reports.isEmpty());
}

TEST(FlowLogRunMark, AutomaticFilesCarryTheRunMark)
{
    // Start time to the second and the process id: another run has another mark.
    EXPECT_EQ(RunMark(), RunStarted().toString("hhmmss") + u'-' + QString::number(QCoreApplication::applicationPid()));
    const QTemporaryDir folder;
    EXPECT_EQ(FlowLog(folder.path(), {}).AutomaticSuffix(), "auto " + RunMark());
    EXPECT_EQ(FlowLog(folder.path(), {}, nullptr, "090807-42").AutomaticSuffix(), "auto 090807-42");
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
    EXPECT_EQ(Files(), QStringList({Auto("14_07")}));
    EXPECT_EQ(Content(Files()[0]), QByteArray("1\r\n2\r\n3\r\n"));
}

TEST_F(WindowTest, FlowDataSaveWritesTheDataTableBesideTheProgram)
{
    const FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(9, 30)));
    Tick();
    window->FlowDataSave(true, "ResetDevicesClick");
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    const QString automatic = "2025-06-13 09_30 log auto " + RunMark() + ".txt";
    EXPECT_EQ(LogFiles(), QStringList({"2025-06-13 09_30 log ResetDevicesClick.txt", automatic}));
    QFile file(LogFolder() + u'/' + automatic);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()), window->MemoData().Text());
}

// While saving fails the status strip says so, with the folder and the system's reason, until
// a save succeeds.
TEST_F(WindowTest, AFailingFlowLogSaveIsShownUntilASaveSucceeds)
{
    FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(9, 30)));
    QFile blocker(Folder() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QLabel* problem = window->findChild<QLabel*>("LabelFlowLogProblem");
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isHidden());

    window->FlowLogs().SetFolder(Folder() + "/blocked/Logs");
    const auto told = [&] { return window->MemoMain().Text().count("Flow log not saved: "); };
    for (int save = 0; save < 2; ++save) {
        window->FlowDataSave(true, "StopSegmentsClick");
        ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
        EXPECT_FALSE(problem->isHidden());
        EXPECT_TRUE(problem->text().startsWith("Flow logs are not being saved in " + Folder() + "/blocked/Logs: "))
            << problem->text().toStdString();
        EXPECT_GT(problem->text().size(), QString("Flow logs are not being saved in " + Folder() + "/blocked/Logs: ").size());
        EXPECT_EQ(told(), 1); // in the message log once, not at every retry
    }

    window->FlowLogs().SetFolder(LogFolder());
    window->FlowDataSave(true, "StopSegmentsClick");
    ASSERT_TRUE(window->FlowLogs().WaitForSaves(5000));
    EXPECT_TRUE(problem->isHidden());
}

} // namespace
