#include "devices/InstrumentFile.h"

#include "core/InstrumentEntries.h"
#include "devices/KnownDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Writes the example under a temporary name and links it to its place: link() fails when a
// file appeared there meanwhile, so nothing that is already there is ever replaced, and the
// file is never seen half-written.
bool WriteIfAbsent(const QString& path, const QByteArray& bytes, QString& reason)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        reason = QStringLiteral("cannot create the folder ") + folder;
        return false;
    }
    QTemporaryFile temporary(folder + QStringLiteral("/.instruments-XXXXXX"));
    if (!temporary.open()) {
        reason = temporary.errorString();
        return false;
    }
    if (temporary.write(bytes) != bytes.size() || !temporary.flush() || ::fsync(temporary.handle()) != 0) {
        reason = temporary.errorString();
        return false;
    }
    if (::link(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        reason = SystemReason();
        return false;
    }
    return true;
}

InstrumentTable BuiltIn(QStringList messages, const QString& refusal = QString())
{
    InstrumentTable table;
    for (const InstrumentEntry& entry : BuiltInInstruments())
        table.Devices.push_back(KnownDeviceFromEntry(entry));
    table.Messages = std::move(messages);
    table.Refusal = refusal;
    return table;
}

} // namespace

InstrumentTable LoadInstrumentFile(const QString& path)
{
    const QString builtIn = QStringLiteral("Using the built-in instrument table.");
    QFile file(path);
    if (!file.exists()) {
        QString reason;
        if (!WriteIfAbsent(path, InstrumentFileText(BuiltInInstruments()).toUtf8(), reason))
            return BuiltIn({QStringLiteral("Cannot write the instrument file ") + path + QStringLiteral(": ") + reason + u'.', builtIn});
        return BuiltIn({QStringLiteral("No instrument file yet: the built-in table of %1 instruments was written to %2 as an "
                                       "example. Edit it for this lab's instruments; it is read at every start.")
                            .arg(BuiltInInstruments().size())
                            .arg(path)});
    }
    if (!file.open(QIODevice::ReadOnly)) {
        const QString line = QStringLiteral("Cannot read the instrument file ") + path + QStringLiteral(": ") + file.errorString() + u'.';
        return BuiltIn({line, builtIn}, line + u'\n' + builtIn);
    }
    const InstrumentFileContent content = ParseInstrumentFile(QString::fromUtf8(file.readAll()));
    if (!content.Errors.empty()) {
        QStringList lines{QStringLiteral("The instrument file ") + path + QStringLiteral(" is refused:")};
        for (const InstrumentFileError& error : content.Errors)
            lines << QStringLiteral("  %1, line %2, field \"%3\": %4").arg(path).arg(error.Line).arg(error.Field, error.Reason);
        lines << builtIn + QStringLiteral(" The file is left as it is; mend it and start again.");
        return BuiltIn(lines, lines.join(u'\n'));
    }
    InstrumentTable table;
    for (const InstrumentEntry& entry : content.Entries)
        table.Devices.push_back(KnownDeviceFromEntry(entry));
    table.Messages << QStringLiteral("Instruments read from %1: %2 entries.").arg(path).arg(content.Entries.size());
    return table;
}

InstrumentTable InstallInstrumentFile(const QString& path)
{
    InstrumentTable table = LoadInstrumentFile(path);
    SetKnownDevices(table.Devices, path);
    return table;
}
