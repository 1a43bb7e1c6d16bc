#include "core/DiagnosticLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList LinesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

TEST(DiagnosticFileSink, RotatesBySizeKeepingTheNewestFilesAndWholeLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("diagnostic.log"));
    constexpr qint64 maxBytes = 2000;
    constexpr int files = 3;
    {
        DiagnosticFileSink sink(path, maxBytes, files);
        // About 60 bytes a line with its time stamp: some 33 lines a file, 400 lines fill
        // many more files than are kept.
        for (int i = 0; i < 400; ++i) {
            sink.Write(QStringLiteral("Test"), QStringLiteral("line %1").arg(i, 4, 10, QChar(u'0')));
            if (i % 50 == 0)
                sink.Flush(); // several batches, as a running program writes them
        }
        sink.Flush();
    }
    const QStringList names = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("diagnostic.log"), QStringLiteral("diagnostic.log.1"),
                                  QStringLiteral("diagnostic.log.2")}));
    QStringList kept;
    for (const QString& name : {QStringLiteral("diagnostic.log.2"), QStringLiteral("diagnostic.log.1"),
                                QStringLiteral("diagnostic.log")}) {
        EXPECT_LE(QFileInfo(dir.filePath(name)).size(), maxBytes) << name.toStdString();
        kept += LinesOf(dir.filePath(name));
    }
    // The newest lines survive, in order and unbroken, up to the very last one.
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_TRUE(kept.last().endsWith(QStringLiteral("[Test] line 0399"))) << kept.last().toStdString();
    int previous = -1;
    for (const QString& line : kept) {
        const int number = line.right(4).toInt();
        EXPECT_EQ(number, previous < 0 ? number : previous + 1) << line.toStdString();
        previous = number;
    }
    EXPECT_GT(kept.size(), 40);
}

TEST(DiagnosticFileSink, ALineLongerThanAFileStillGetsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diagnostic.log"));
    {
        DiagnosticFileSink sink(path, 100, 2);
        sink.Write(QStringLiteral("Test"), QString(300, u'x'));
        sink.Write(QStringLiteral("Test"), QStringLiteral("after"));
        sink.Flush();
    }
    EXPECT_TRUE(LinesOf(path + QStringLiteral(".1")).value(0).endsWith(QString(300, u'x')));
    EXPECT_TRUE(LinesOf(path).value(0).endsWith(QStringLiteral("after")));
}

} // namespace
