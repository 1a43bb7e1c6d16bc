#include "PagesTestSupport.h"
#include "core/QStringPrinter.h"

#include "core/TextTables.h"
#include "core/UserMessages.h"
#include "ui/pages/SegmentEditor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<TSegmentRow> RowsOf(const QString& program)
{
    QList<TSegmentRow> rows;
    EXPECT_TRUE(SegmentTextToRows(program, rows));
    return rows;
}

QStringList Captions(const QList<TSegmentRow>& rows)
{
    QStringList captions;
    for (const TSegmentRow& row : rows)
        captions << row.Caption;
    return captions;
}

TSegmentBoxes Boxes(double time, double flow, const char* type, const char* note = "")
{
    TSegmentBoxes boxes;
    boxes.Time = time;
    boxes.Flow = flow;
    boxes.Type = QString::fromLatin1(type);
    boxes.Note = QString::fromLatin1(note);
    return boxes;
}

class SegmentEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        DevicesLocal[0].SegmentProgram = QStringLiteral("0 0 Step\r\n4 30 Ramp\r\n10 10 Ramp");
    }
    void TearDown() override { ResetDevicesLocal(); }

    std::optional<TDeviceInfo> Focused() const { return DevicesLocal[0]; }

    RecordingPagesWindow window;
    MessageCapture messages;
};

TEST_F(SegmentEditor, AnHourEntryIsStoredInMinutesAndShownInHoursAgain)
{
    QList<TSegmentRow> rows = RowsOf(DevicesLocal[0].SegmentProgram);
    ApplySegmentRow(rows, Boxes(1.5, 25, "Step"), 60, Focused(), window);
    EXPECT_EQ(Captions(rows), (QStringList{"0", "4", "10", "90"}));
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n4 30 Ramp\r\n10 10 Ramp\r\n90 25 Step"));
    EXPECT_EQ(DevicesLocal[0].SegmentProgramTermination, tspttKeep);
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("COMX")});
    EXPECT_TRUE(messages.Texts().isEmpty());

    const TSegmentBoxes chosen = SegmentBoxesForRow(rows[3], 60);
    EXPECT_EQ(chosen.Time, 1.5);
    EXPECT_EQ(chosen.Flow, 25);
    EXPECT_EQ(chosen.Type, QStringLiteral("Step"));
    EXPECT_EQ(chosen.Note, QString());
}

TEST_F(SegmentEditor, ASegmentAtAnExistingTimeReplacesThatRow)
{
    QList<TSegmentRow> rows = RowsOf(DevicesLocal[0].SegmentProgram);
    ApplySegmentRow(rows, Boxes(4, 50, "Step", "hold  it"), 1, Focused(), window);
    EXPECT_EQ(Captions(rows), (QStringList{"0", "4", "10"}));
    // The note is stored cleaned and read back with blanks.
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n4 50 Step hold__it\r\n10 10 Ramp"));
    EXPECT_EQ(rows[1].SubItems, (QStringList{"50", "Step", "hold  it"}));
}

TEST_F(SegmentEditor, RowsSortByTimeAsANumber)
{
    QList<TSegmentRow> rows = RowsOf(QStringLiteral("9 10 Step\r\n10 20 Step"));
    ApplySegmentRow(rows, Boxes(9.5, 15, "Ramp"), 1, std::nullopt, window);
    EXPECT_EQ(Captions(rows), (QStringList{"9", "9.5", "10"}));
    ApplySegmentRow(rows, Boxes(0.25, 5, "Ramp"), 1, std::nullopt, window);
    EXPECT_EQ(Captions(rows), (QStringList{"0.25", "9", "9.5", "10"}));
}

TEST_F(SegmentEditor, RowNumbersUseAPointInACommaLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QList<TSegmentRow> rows;
    ApplySegmentRow(rows, Boxes(0.5, 12.5, "Ramp"), 1, Focused(), window);
    QLocale::setDefault(saved);
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0.5 12.5 Ramp"));
    EXPECT_EQ(SegmentBoxesForRow(rows[0], 1).Flow, 12.5);
}

TEST_F(SegmentEditor, WithoutADeviceTheRowStaysAndTheOperatorIsTold)
{
    QList<TSegmentRow> rows;
    ApplySegmentRow(rows, Boxes(2, 40, "Step"), 1, std::nullopt, window);
    EXPECT_EQ(Captions(rows), QStringList{"2"});
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Could not get assigned device.")});
    EXPECT_TRUE(window.shown.isEmpty());

    messages.Clear();
    TDeviceInfo gone = DevicesLocal[0];
    gone.COMPort = QStringLiteral("COM99");
    ApplySegmentRow(rows, Boxes(3, 40, "Step"), 1, gone, window);
    EXPECT_EQ(Captions(rows), (QStringList{"2", "3"}));
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Saving device segment program failed")});
    EXPECT_TRUE(window.shown.isEmpty());
}

TEST_F(SegmentEditor, DeleteRemovesTheSelectedRowFromTheProgram)
{
    QList<TSegmentRow> rows = RowsOf(DevicesLocal[0].SegmentProgram);
    DeleteSegmentRow(rows, std::nullopt, Focused(), window);
    DeleteSegmentRow(rows, 3, Focused(), window);
    EXPECT_EQ(rows.size(), 3);
    EXPECT_TRUE(window.shown.isEmpty());

    DeleteSegmentRow(rows, 1, Focused(), window);
    EXPECT_EQ(Captions(rows), (QStringList{"0", "10"}));
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n10 10 Ramp"));
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("COMX")});

    DeleteSegmentRow(rows, 0, std::nullopt, window);
    EXPECT_EQ(Captions(rows), QStringList{"10"});
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Error")});
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n10 10 Ramp"));
}

TEST(SegmentEditorBoxes, TypeToggleAndTimeConversions)
{
    EXPECT_EQ(ToggledSegmentType(QStringLiteral("Step")), QStringLiteral("Ramp"));
    EXPECT_EQ(ToggledSegmentType(QStringLiteral("Ramp")), QStringLiteral("Step"));
    EXPECT_EQ(ToggledSegmentType(QStringLiteral("step")), QStringLiteral("Step"));
    EXPECT_EQ(ToggledSegmentType(QString()), QStringLiteral("Step"));
    EXPECT_EQ(SegmentTimeConversionsText(1.5, 60), TimeText(0, 90));
    EXPECT_EQ(SegmentBoxesForRow(TSegmentRow{QStringLiteral("x"), {}}, 1).Time, 0);
}

TEST(SegmentFileName, ProposedNameIsDateTimePortAndTypeName)
{
    ResetDevicesLocal();
    TDeviceInfo device = DevicesLocal[0];
    const QDateTime morning(QDate(2025, 6, 3), QTime(9, 5, 59));
    EXPECT_EQ(ProposedSegmentFileName(device, morning), QStringLiteral("2025-06-03 09-05 COMX MFC.txt"));
    device.COMPort = QStringLiteral("COM6");
    device.DevType = dtMFCB;
    EXPECT_EQ(ProposedSegmentFileName(device, QDateTime(QDate(2025, 6, 13), QTime(14, 5))),
              QStringLiteral("2025-06-13 14-05 COM6 MFC-B.txt"));
    // A port named by its device path stays one file name in the proposed folder.
    device.DevType = dtPump;
    const struct {
        const char* port;
        const char* name;
    } ports[] = {{"/dev/ttyUSB0", "dev_ttyUSB0"}, {"ttyUSB0", "ttyUSB0"}, {"/dev/pts/5", "dev_pts_5"}};
    for (const auto& p : ports) {
        device.COMPort = QString::fromLatin1(p.port);
        EXPECT_EQ(ProposedSegmentFileName(device, morning), "2025-06-03 09-05 " + QString::fromLatin1(p.name) + " Pump.txt");
    }
}

class SegmentEditorFiles : public SegmentEditor {
protected:
    QString Path(const QString& name) const { return folder.filePath(name); }
    static QByteArray Content(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void Write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir folder;
};

TEST_F(SegmentEditorFiles, SavesTheTrimmedProgramWithCrLfAndOneTxtExtension)
{
    TDeviceInfo device = DevicesLocal[0];
    device.COMPort = QStringLiteral("/dev/ttyUSB0");
    device.SegmentProgram = QStringLiteral("  0 0 Step\n4 30 Ramp\r\n\r\n");
    const QByteArray expected = "0 0 Step\r\n4 30 Ramp\r\n";
    const QString proposed = ProposedSegmentFileName(device, QDateTime(QDate(2025, 6, 13), QTime(14, 5)));
    struct Case {
        QString chosen;
        QString written;
    };
    const Case cases[] = {
        {proposed, proposed},
        {QStringLiteral("plain"), QStringLiteral("plain.txt")},
        {QStringLiteral("upper.TXT"), QStringLiteral("upper.TXT")},
        {QStringLiteral("dotted.txt.bak"), QStringLiteral("dotted.txt.bak.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        EXPECT_TRUE(SaveSegmentProgram(device, Path(c.chosen)));
        EXPECT_EQ(Content(Path(c.written)), expected);
    }
    EXPECT_FALSE(QFile::exists(Path(proposed + QStringLiteral(".txt"))));
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(SegmentEditorFiles, AFileThatCannotBeWrittenIsNamed)
{
    EXPECT_FALSE(SaveSegmentProgram(DevicesLocal[0], Path(QStringLiteral("no such folder/p"))));
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot create file \"" + Path("no such folder/p.txt")
                                            + "\". No such file or directory"});
}

TEST_F(SegmentEditorFiles, LoadsAValidProgramWithAnyLineBreaks)
{
    Write(Path("p.txt"), "\r\n  0 0 Step\n4 30 Ramp\r12 5 Step Cool_down\r\n\r\n");
    LoadSegmentProgram(Focused(), Path("p.txt"), window);
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n4 30 Ramp\r\n12 5 Step Cool_down"));
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("COMX")});
    EXPECT_TRUE(window.log.isEmpty());
    EXPECT_TRUE(messages.Texts().isEmpty());

    // What is saved loads back as it was.
    ASSERT_TRUE(SaveSegmentProgram(DevicesLocal[0], Path("again")));
    DevicesLocal[0].SegmentProgram.clear();
    LoadSegmentProgram(Focused(), Path("again.txt"), window);
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, QStringLiteral("0 0 Step\r\n4 30 Ramp\r\n12 5 Step Cool_down"));
}

TEST_F(SegmentEditorFiles, AnInvalidOrUnreadableFileLeavesTheProgram)
{
    const QString before = DevicesLocal[0].SegmentProgram;
    Write(Path("bad.txt"), "0 0 Step\r\n4 thirty Ramp\r\n");
    LoadSegmentProgram(Focused(), Path("bad.txt"), window);
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Invalid segment program")});
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Invalid setpoint format")}); // the validation's own

    messages.Clear();
    window.log.clear();
    LoadSegmentProgram(Focused(), Path("missing.txt"), window);
    EXPECT_EQ(messages.Texts(), QStringList{"Cannot open file \"" + Path("missing.txt") + "\". No such file or directory"});

    LoadSegmentProgram(std::nullopt, Path("bad.txt"), window);
    EXPECT_EQ(DevicesLocal[0].SegmentProgram, before);
    EXPECT_TRUE(window.shown.isEmpty());
    EXPECT_TRUE(window.log.isEmpty());
}

TEST_F(SegmentEditorFiles, ALoadedProgramForADeviceNoLongerListedIsLogged)
{
    Write(Path("p.txt"), "1 50 Step\r\n");
    TDeviceInfo gone = DevicesLocal[0];
    gone.COMPort = QStringLiteral("COM99");
    LoadSegmentProgram(gone, Path("p.txt"), window);
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Saving device configuration failed")});
    EXPECT_TRUE(window.shown.isEmpty());
}

} // namespace
