#include "ui/MessageLogFile.h"

#include "core/Clock.h"

#include <QDir>

QString MessageLogFileName(const QDateTime& started, const QString& runMark)
{
    return started.toString(QStringLiteral("yyyy-MM-dd hh_mm")) + QStringLiteral(" messages ") + runMark
           + QStringLiteral(".txt");
}

MessageLogFile::MessageLogFile(QString folder, QString runMark, QDateTime started, ReportFunction report)
    : fFolder(std::move(folder))
    , fRunMark(std::move(runMark))
    , fStarted(std::move(started))
    , fReport(std::move(report))
{
}

QString MessageLogFile::Path() const
{
    return QDir(fFolder).absoluteFilePath(MessageLogFileName(fStarted, fRunMark));
}

void MessageLogFile::SetFolder(const QString& folder)
{
    fFile.close();
    fFolder = folder;
}

bool MessageLogFile::Open()
{
    if (fFile.isOpen())
        return true;
    QDir().mkpath(fFolder);
    fFile.setFileName(Path());
    // Appended to, never truncated: a file of that name is only ever this run's own.
    return fFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void MessageLogFile::Write(const QString& line)
{
    // Unbuffered: the line reaches the system with this one write.
    const QByteArray bytes = (ClockNow().toString(QStringLiteral("yyyy-MM-dd ")) + line + u'\n').toUtf8();
    if (Open() && fFile.write(bytes) == bytes.size()) {
        fFailed = false;
        return;
    }
    const QString reason = fFile.errorString();
    fFile.close();
    // Told once while it keeps failing; the report is itself a line of the log.
    if (fFailed)
        return;
    fFailed = true;
    if (fReport)
        fReport(QStringLiteral("Message log file not written: ") + Path() + QStringLiteral(": ") + reason);
}
