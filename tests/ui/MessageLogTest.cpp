#include "ui/MessageLog.h"

#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

TEST(MessageLog, EachMessageIsALineAfterItsTimeStamp)
{
    struct Case {
        const char* message;
        const char* line;
    };
    const Case cases[] = {
        {"abc", "14:03:07:045 abc"},
        {"", "14:03:07:045 "},
        {"two\nlines", "14:03:07:045 two\nlines"},
        {"crlf\r\nlines\r\n", "14:03:07:045 crlf\nlines\n"},
        {"bare\rcr", "14:03:07:045 bare\ncr"},
    };
    for (const Case& c : cases) {
        MessageLog log([] { return QStringLiteral("14:03:07:045 "); });
        log.MM(QString::fromLatin1(c.message));
        EXPECT_EQ(log.Text(), QString::fromLatin1(c.line)) << c.message;
    }
}

TEST(MessageLog, AppendsWithoutTouchingEarlierLines)
{
    int tick = 0;
    MessageLog log([&] { return QStringLiteral("00:00:0%1:000 ").arg(tick++); });
    log.MM("first");
    log.AppendText("00:00:01:500 raw\r\n");
    log.MM("second");
    log.MM("third");
    EXPECT_EQ(log.Text(), "00:00:00:000 first\n00:00:01:500 raw\n00:00:01:000 second\n00:00:02:000 third");
    ASSERT_EQ(log.LineCount(), 4);
    EXPECT_EQ(log.Line(0), "00:00:00:000 first");
    EXPECT_EQ(log.Line(3), "00:00:02:000 third");
}

TEST(MessageLog, FollowsTheLastLine)
{
    MessageLog log([] { return QStringLiteral("12:00:00:000 "); });
    log.resize(300, 80);
    log.show();
    for (int i = 0; i < 50; ++i)
        log.MM(QStringLiteral("message %1").arg(i));
    QScrollBar* bar = log.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(0); // the operator scrolls up to read
    log.MM("new");
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(MessageLog, DropsTheOldestLinesBeyondTheLimitAndSaysHowManyAndWhereTheyAre)
{
    MessageLog log([] { return QStringLiteral("t "); }, nullptr, 10);
    QStringList sunk;
    log.SetLineSink([&](const QString& line) { sunk << line; }, "/data/Logs/messages.txt");
    for (int i = 0; i < 10; ++i)
        log.MM(QString::number(i));
    EXPECT_EQ(log.LineCount(), 10);
    EXPECT_EQ(log.Line(0), "t 0");
    for (int i = 10; i < 15; ++i)
        log.MM(QString::number(i));
    EXPECT_EQ(log.LineCount(), 10);
    EXPECT_EQ(log.Line(0), "6 earlier lines are no longer shown here; every line of this run is in /data/Logs/messages.txt");
    EXPECT_EQ(log.Line(1), "t 6");
    EXPECT_EQ(log.Line(9), "t 14");
    // A message of several lines beyond the limit keeps its newest lines.
    log.MM("a\nb\nc");
    EXPECT_EQ(log.LineCount(), 10);
    EXPECT_TRUE(log.Line(0).startsWith("9 earlier lines are no longer shown here"));
    EXPECT_EQ(log.Line(1), "t 9");
    EXPECT_EQ(log.Line(9), "c");
    EXPECT_TRUE(log.Text().startsWith(log.Line(0) + "\nt 9\n"));
    // Every line reached the sink, none dropped.
    ASSERT_EQ(sunk.size(), 18);
    EXPECT_EQ(sunk.first(), "t 0");
    EXPECT_EQ(sunk.mid(15), QStringList({"t a", "b", "c"}));
}

} // namespace
