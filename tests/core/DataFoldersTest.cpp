#include "core/DataFolders.h"
#include "core/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Every folder under a scratch root for the test's life.
class DataFoldersTest : public ::testing::Test {
protected:
    void SetUp() override { fPrevious = DataFolders::SetRoot(fScratch.path() + QStringLiteral("/data")); }
    void TearDown() override { DataFolders::SetRoot(fPrevious); }

    QString Scratch() const { return fScratch.path(); }

private:
    QTemporaryDir fScratch;
    QString fPrevious;
};

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST_F(DataFoldersTest, DataDirPutsEveryFileUnderIt)
{
    const QString root = Scratch() + "/data";
    EXPECT_EQ(DataFolders::DataFolder(), root);
    EXPECT_EQ(DataFolders::ConfigFolder(), root);
    EXPECT_EQ(DataFolders::LogsFolder(), root + "/Logs");
    EXPECT_EQ(DataFolders::SegmentProgramsFolder(), root + "/Segment Programs");
    EXPECT_EQ(DataFolders::InstrumentFilePath(), root + "/instruments.ini");

    // A relative folder is taken against the working directory of the start, once.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Scratch()));
    DataFolders::SetRoot("run/../here");
    QDir::setCurrent(saved);
    EXPECT_EQ(DataFolders::LogsFolder(), Scratch() + "/here/Logs");
}

TEST(DataFolders, StandardLocationsAreTheUsersDataAndConfigFolders)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString previous = DataFolders::SetRoot({});
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Tessaly";
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tessaly";
    EXPECT_EQ(DataFolders::DataFolder(), data);
    EXPECT_EQ(DataFolders::LogsFolder(), data + "/Logs");
    EXPECT_EQ(DataFolders::SegmentProgramsFolder(), data + "/Segment Programs");
    EXPECT_EQ(DataFolders::InstrumentFilePath(), config + "/instruments.ini");
    EXPECT_FALSE(DataFolders::LogsFolder().startsWith(QCoreApplication::applicationDirPath()));
    DataFolders::SetRoot(previous);
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(DataFoldersTest, FirstUseCreatesTheFoldersAndKeepsWhatIsThere)
{
    const QString root = Scratch() + "/data";
    EXPECT_EQ(DataFolders::Prepare(), QStringList());
    EXPECT_EQ(Entries(root), QStringList({"Logs", "Segment Programs"}));

    WriteFile(root + "/Logs/2025-06-13 14_05 log auto.txt", "flows");
    WriteFile(root + "/instruments.ini", "[instrument]");
    EXPECT_EQ(DataFolders::Prepare(), QStringList());
    EXPECT_EQ(Entries(root), QStringList({"Logs", "Segment Programs", "instruments.ini"}));
    EXPECT_EQ(Entries(root + "/Logs"), QStringList({"2025-06-13 14_05 log auto.txt"}));
    EXPECT_EQ(ReadFile(root + "/Logs/2025-06-13 14_05 log auto.txt"), "flows");
    EXPECT_EQ(ReadFile(root + "/instruments.ini"), "[instrument]");
}

TEST_F(DataFoldersTest, AFolderThatCannotBeCreatedIsNamedWithTheReasonOnce)
{
    // A file where the data folder should be: its subfolders fail for the same reason.
    const QString root = Scratch() + "/data";
    WriteFile(root, "operator's file");
    EXPECT_EQ(DataFolders::Prepare(), QStringList({"Cannot create the folder \"" + root + "\": Not a directory"}));

    DataFolders::SetRoot(root + "/below");
    EXPECT_EQ(DataFolders::Prepare(), QStringList({"Cannot create the folder \"" + root + "/below\": Not a directory"}));
    EXPECT_EQ(ReadFile(root), "operator's file");
}

TEST_F(DataFoldersTest, AFolderThatCannotBeWrittenIsNamedWithTheReason)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes in read-only folders";
    const QString root = Scratch() + "/data";
    ASSERT_EQ(DataFolders::Prepare(), QStringList());
    WriteFile(root + "/Logs/kept.txt", "kept");
    QFile::setPermissions(root + "/Logs", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QStringList problems = DataFolders::Prepare();
    QFile::setPermissions(root + "/Logs", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith("Cannot write in the folder \"" + root + "/Logs\": ")) << qPrintable(problems[0]);
    EXPECT_TRUE(problems[0].contains("ermission denied")) << qPrintable(problems[0]);
    EXPECT_EQ(Entries(root + "/Logs"), QStringList({"kept.txt"}));
}
