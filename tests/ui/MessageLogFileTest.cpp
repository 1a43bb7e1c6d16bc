// The message log file: one per run, every line with its date, appended and handed to the
// system line by line, never truncated; a file that cannot be written is told once.
#include "WindowTestSupport.h"

#include "core/RunMark.h"
#include "ui/MessageLog.h"
#include "ui/MessageLogFile.h"

#include <QFile>

namespace {

QByteArray Content(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(MessageLogFile, EveryLineWithItsDateAppendedToTheRunsFile)
{
    FakeClock clock(QDateTime(QDate(2025, 6, 13), QTime(23, 59, 59)));
    const QTemporaryDir folder;
    const QDateTime started(QDate(2025, 6, 13), QTime(14, 3, 7));
    EXPECT_EQ(MessageLogFileName(started, "140307-4711"), "2025-06-13 14_03 messages 140307-4711.txt");
    QStringList reports;
    {
        MessageLogFile file(folder.path() + "/Logs", "140307-4711", started, [&](const QString& r) { reports << r; });
        EXPECT_EQ(file.Path(), folder.path() + "/Logs/2025-06-13 14_03 messages 140307-4711.txt");
        file.Write("23:59:59:100 first \u00B5l");
        // Written through at once: readable before anything is closed.
        EXPECT_EQ(Content(file.Path()), "2025-06-13 23:59:59:100 first \xC2\xB5l\n");
        clock.AdvanceMs(1000);
        file.Write("00:00:00:100 next day");
    }
    // The same run writing again (its log had to be reopened) appends.
    MessageLogFile again(folder.path() + "/Logs", "140307-4711", started, {});
    again.Write("continued");
    EXPECT_EQ(Content(again.Path()), "2025-06-13 23:59:59:100 first \xC2\xB5l\n"
                                     "2025-06-14 00:00:00:100 next day\n"
                                     "2025-06-14 continued\n");
    EXPECT_TRUE(reports.isEmpty());
}

TEST(MessageLogFile, AFileThatCannotBeWrittenIsToldOnceUntilLinesAreWrittenAgain)
{
    const QTemporaryDir folder;
    QFile blocker(folder.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList reports;
    MessageLogFile file(folder.path() + "/blocked/Logs", "1-2", QDateTime(QDate(2025, 6, 13), QTime(9, 0)),
                        [&](const QString& r) { reports << r; });
    file.Write("a");
    file.Write("b");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith("Message log file not written: " + file.Path() + ": ")) << reports[0].toStdString();
    file.SetFolder(folder.path() + "/Logs");
    file.Write("c");
    EXPECT_TRUE(Content(file.Path()).endsWith(" c\n"));
    EXPECT_EQ(reports.size(), 1);
}

// The window's message log goes to the run's file in the Logs folder, and the view's
// dropped-lines line names that file.
TEST_F(WindowTest, MessageLogLinesGoToTheRunsFileInTheLogsFolder)
{
    const QString path = LogFolder() + u'/' + MessageLogFileName(RunStarted(), RunMark());
    EXPECT_EQ(window->MessageFile().Path(), path);
    window->MM("Search results\nCOM1 MFC");
    const QByteArray content = Content(path);
    const QString date = ClockNow().toString("yyyy-MM-dd ");
    EXPECT_TRUE(content.endsWith((date + window->MemoMain().Line(window->MemoMain().LineCount() - 2) + '\n' + date
                                  + "COM1 MFC\n")
                                     .toUtf8()))
        << content.toStdString();
    EXPECT_TRUE(window->MemoMain().Line(window->MemoMain().LineCount() - 2).endsWith("Search results"));
}

} // namespace
