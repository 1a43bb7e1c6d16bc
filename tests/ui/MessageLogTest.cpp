#include "ui/MessageLog.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
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
    const QTextBlock first = log.document()->firstBlock();
    log.MM("second");
    log.MM("third");
    EXPECT_EQ(log.Text(), "00:00:00:000 first\n00:00:01:000 second\n00:00:02:000 third");
    // The first line is the same block as before: the text was appended to, not rebuilt.
    EXPECT_EQ(log.document()->firstBlock(), first);
    EXPECT_TRUE(log.isReadOnly());
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

TEST(MessageLog, DropsTheOldestLinesBeyondTheLimit)
{
    MessageLog log([] { return QStringLiteral("t "); }, nullptr, 10);
    for (int i = 0; i < 15; ++i)
        log.MM(QString::number(i));
    EXPECT_EQ(log.document()->blockCount(), 10);
    EXPECT_EQ(log.document()->firstBlock().text(), "t 5");
    EXPECT_EQ(log.document()->lastBlock().text(), "t 14");
}

} // namespace
