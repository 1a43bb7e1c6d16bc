#include "devices/InstrumentFile.h"
#include "devices/KnownDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class InstrumentFileTest : public ::testing::Test {
protected:
    void TearDown() override { ResetKnownDevices(); }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("config/instruments.ini"));
};

TEST_F(InstrumentFileTest, FirstRunWritesTheBuiltInTableOnceAndLaterRunsReadIt)
{
    const InstrumentTable first = InstallInstrumentFile(path);
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(first.Refusal.isEmpty());
    EXPECT_TRUE(first.Messages.join(u' ').contains(path));
    EXPECT_EQ(KnownDevicesFile(), path);
    EXPECT_EQ(KnownDevices().size(), 25u);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"instruments.ini"});

    const QByteArray written = Contents(path);
    EXPECT_TRUE(written.startsWith("# "));
    const InstrumentTable second = InstallInstrumentFile(path);
    EXPECT_EQ(Contents(path), written);
    EXPECT_TRUE(second.Messages.join(u' ').contains(QStringLiteral("25 entries")));

    // The example holds exactly the built-in rows.
    const std::vector<InstrumentEntry>& builtIn = BuiltInInstruments();
    ASSERT_EQ(second.Devices.size(), builtIn.size());
    for (std::size_t i = 0; i < builtIn.size(); ++i) {
        const TDeviceInfo expected = KnownDeviceFromEntry(builtIn[i]);
        const TDeviceInfo& read = second.Devices[i];
        EXPECT_EQ(read.Serial, expected.Serial);
        EXPECT_EQ(read.DevType, expected.DevType);
        EXPECT_EQ(read.NameRole, expected.NameRole);
        EXPECT_EQ(read.Color, expected.Color);
        EXPECT_EQ(read.FlowUnitDevice.GasFlowMax(), expected.FlowUnitDevice.GasFlowMax());
        EXPECT_EQ(read.SyringeSizeuL, expected.SyringeSizeuL);
        EXPECT_EQ(read.FluidTemperatureC, expected.FluidTemperatureC);
        EXPECT_EQ(read.MaxFlow_ulpm, expected.MaxFlow_ulpm);
        EXPECT_EQ(read.SegmentProgram, expected.SegmentProgram);
    }
}

TEST_F(InstrumentFileTest, TheLabsOwnEntriesReplaceTheBuiltInTable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    Write(path, "[instrument]\nserial = 777001\ntype = MFC-C\nname = Lab bench\nfull_scale_sccm = 200\n");
    const InstrumentTable table = InstallInstrumentFile(path);
    ASSERT_EQ(KnownDevices().size(), 1u);
    TDeviceInfo device;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("A M05 Serial Number 777001"), device));
    EXPECT_EQ(device.DevType, dtMFCC);
    EXPECT_EQ(device.NameRole, "Lab bench");
    EXPECT_EQ(device.FlowUnitDevice.GasFlowMax(), 200);
    EXPECT_FALSE(GetKnownDevice(QStringLiteral("142001"), device)); // no longer a built-in row
}

TEST_F(InstrumentFileTest, AFaultyFileIsRefusedAndLeftAsItIs)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray faulty =
        "[instrument]\nserial = 777001\ntype = MFC-E\nfull_scale_sccm = 200\nsegment = 0.5 120 Ramp\n";
    Write(path, faulty);
    const InstrumentTable table = InstallInstrumentFile(path);
    EXPECT_EQ(Contents(path), faulty);
    EXPECT_EQ(KnownDevices().size(), 25u);
    for (const QString& expected :
         {path + QStringLiteral(", line 3, field \"type\": unknown type \"MFC-E\""),
          path + QStringLiteral(", line 5, field \"segment\": \"0.5 120 Ramp\" is no segment line: Setpoint out of bounds:120")}) {
        EXPECT_TRUE(table.Refusal.contains(expected)) << table.Refusal.toStdString();
        EXPECT_TRUE(table.Messages.join(u'\n').contains(expected));
    }
    EXPECT_TRUE(table.Messages.join(u'\n').contains(QStringLiteral("Using the built-in instrument table.")));
}

TEST_F(InstrumentFileTest, AFileThatCannotBeOpenedOrWrittenLeavesTheBuiltInTable)
{
    // A folder where the file should be: it exists, and cannot be read as a file.
    QDir().mkpath(path);
    InstrumentTable table = InstallInstrumentFile(path);
    EXPECT_FALSE(table.Refusal.isEmpty());
    EXPECT_TRUE(table.Refusal.contains(path));
    EXPECT_EQ(KnownDevices().size(), 25u);

    // A folder that cannot be written: the first run says so and goes on with the built-in rows.
    const QString locked = folder.filePath(QStringLiteral("locked"));
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString unwritable = locked + QStringLiteral("/instruments.ini");
    table = InstallInstrumentFile(unwritable);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QFileInfo::exists(unwritable))
        GTEST_SKIP() << "running with permission to write anywhere";
    EXPECT_TRUE(table.Messages.join(u' ').contains(QStringLiteral("Cannot write the instrument file ") + unwritable));
    EXPECT_EQ(KnownDevices().size(), 25u);
}

} // namespace
