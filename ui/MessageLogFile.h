#pragma once
// The message log on disk: every line of the message log view, with its date in front,
// appended to one file per run in the logs folder ("2025-06-13 14_03 messages 140307-4711.txt",
// named by the run's start and its run mark). Each line is handed to the system as it is
// written, so a crash loses at most the line being written; the file is never trimmed or
// rewritten, while the view keeps only its newest lines.
#include <QDateTime>
#include <QFile>
#include <QString>
#include <functional>

// The file's name for a run started at that moment with that mark.
QString MessageLogFileName(const QDateTime& started, const QString& runMark);

class MessageLogFile {
public:
    using ReportFunction = std::function<void(const QString& message)>;

    // The file is made at the first line, in folder; report is told once when a line cannot be
    // written, and again after lines were written once more.
    MessageLogFile(QString folder, QString runMark, QDateTime started, ReportFunction report);
    MessageLogFile(const MessageLogFile&) = delete;
    MessageLogFile& operator=(const MessageLogFile&) = delete;

    QString Path() const;
    // Lines from now on go to a file in this folder.
    void SetFolder(const QString& folder);
    // Appends "yyyy-MM-dd " and the line.
    void Write(const QString& line);

private:
    bool Open();

    QString fFolder;
    QString fRunMark;
    QDateTime fStarted;
    ReportFunction fReport;
    QFile fFile;
    bool fFailed = false; // the last line was not written (and report was told)
};
