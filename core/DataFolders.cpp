#include "core/DataFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>

namespace {

// The folder name under the standard locations, whatever the running program calls itself
// (the tests and the simulators have names of their own).
const QString ApplicationFolder = QStringLiteral("Tessaly");
// Below this the next flow log may not fit: reported like a folder that cannot be written.
constexpr qint64 MinimumFreeBytes = 1024 * 1024;

std::mutex gRootMutex;
QString gRoot;

QString Root()
{
    std::lock_guard lock(gRootMutex);
    return gRoot;
}

QString Standard(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + u'/' + ApplicationFolder;
}

} // namespace

namespace DataFolders {

QString SetRoot(const QString& dir)
{
    const QString root = dir.isEmpty() ? QString() : QDir::cleanPath(QDir::current().absoluteFilePath(dir));
    std::lock_guard lock(gRootMutex);
    return std::exchange(gRoot, root);
}

QString DataFolder()
{
    const QString root = Root();
    return root.isEmpty() ? Standard(QStandardPaths::GenericDataLocation) : root;
}

QString ConfigFolder()
{
    const QString root = Root();
    return root.isEmpty() ? Standard(QStandardPaths::GenericConfigLocation) : root;
}

QString LogsFolder() { return DataFolder() + QStringLiteral("/Logs"); }

QString SegmentProgramsFolder() { return DataFolder() + QStringLiteral("/Segment Programs"); }

QString InstrumentFilePath() { return ConfigFolder() + QStringLiteral("/instruments.ini"); }

QString MakeUsable(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    if (error || !QFileInfo(folder).isDir()) {
        const QString reason = error ? QString::fromStdString(error.message()) : QStringLiteral("not a folder");
        return QStringLiteral("Cannot create the folder \"%1\": %2").arg(shown, reason);
    }
    // Asking for permissions is not enough (network drives, read-only mounts, ACLs): write a
    // scratch file under a fresh name, which touches nothing already there.
    QTemporaryFile probe(folder + QStringLiteral("/.write-test-XXXXXX"));
    if (!probe.open() || probe.write(QByteArray(4096, ' ')) != 4096 || !probe.flush())
        return QStringLiteral("Cannot write in the folder \"%1\": %2").arg(shown, probe.errorString());
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.bytesAvailable() < MinimumFreeBytes)
        return QStringLiteral("The disk of the folder \"%1\" is full: %2 bytes free")
            .arg(shown)
            .arg(storage.bytesAvailable());
    return {};
}

QStringList Prepare()
{
    QStringList problems;
    const auto use = [&problems](const QString& folder) {
        const QString problem = MakeUsable(folder);
        if (!problem.isEmpty())
            problems << problem;
        return problem.isEmpty();
    };
    // The subfolders of a data folder that cannot be used fail for the same reason: one line.
    const QString data = DataFolder();
    if (use(data)) {
        use(LogsFolder());
        use(SegmentProgramsFolder());
    }
    if (ConfigFolder() != data)
        use(ConfigFolder());
    return problems;
}

} // namespace DataFolders
