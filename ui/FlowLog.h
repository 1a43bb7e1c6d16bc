#pragma once
// The flow logs: copies of the data table in the Logs folder (DataFolders), one file
// per save named by the minute of the save and a suffix telling why it was saved
// ("2025-06-13 14_05 log auto.txt"). The automatic save runs at most once a minute; the other
// suffixes save at once.
//
// A save takes a copy of the table (cheap: its blocks are shared) and a writer thread writes
// it under a temporary name and renames it over the target, so the window never waits on the
// disk and a crash or a full disk never leaves a truncated log. A failed save is reported in
// the message log and the next automatic save tries again. An automatic save still waiting
// for the writer is replaced by a newer one rather than queued behind it, so a slow disk never
// piles up saves. Each automatic save holds the
// whole table, so it replaces the previous automatic file of the same table: a week-long run
// keeps one automatic file rather than one per minute.
#include "ui/DataTable.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// "yyyy-mm-dd hh_mm log <suffix>.txt" for the moment.
QString FlowLogFileName(const QDateTime& moment, const QString& suffix);

class FlowLog : public QObject {
    Q_OBJECT
public:
    using ReportFunction = std::function<void(const QString& message)>;
    // Writes the text to the file as a whole; returns the failure, empty on success. Runs on
    // the writer thread.
    using WriteFunction = std::function<QString(const QString& path, const DataTable::TSnapshot& text)>;

    // folder: where the files go; report: receives a line for each failed save.
    FlowLog(QString folder, ReportFunction report, QObject* parent = nullptr);
    ~FlowLog() override;

    QString Folder() const { return fFolder; }
    void SetFolder(const QString& folder) { fFolder = folder; }

    // Saves the table unless it is blank or, without force, the last save is less than one
    // minute old. Returns the file name the save goes to, empty when nothing is saved.
    QString FlowDataSave(const DataTable& table, bool ForceSave, const QString& Suffix);
    // The table was emptied: its earlier automatic file is no longer superseded by later ones.
    void TableCleared();

    // Replaces the file writing (an accelerated run that measures the window, not the disk).
    void SetWriter(WriteFunction write);
    // Writes under a temporary name, then renames it over the target.
    static QString WriteWhole(const QString& path, const DataTable::TSnapshot& text);

    // Waits until every save handed over so far is written or failed; false on time-out.
    bool WaitForSaves(int timeoutMs);
    bool Idle() const;

private:
    struct TJob {
        QString Path;
        DataTable::TSnapshot Text;
        QString Superseded; // removed once Path is written
        bool Automatic = false;
    };
    struct TOutcome {
        QString Path;
        QString Superseded;
        QString Error; // empty on success
    };

    void WriterLoop();
    void Finished(const TOutcome& outcome);

    QString fFolder;
    ReportFunction fReport;
    double fLastSave = 0; // days; 0 = never, or the last save failed
    QString fLastAutoFile;

    mutable std::mutex fMutex;
    std::condition_variable fWake;
    std::condition_variable fDone;
    std::deque<TJob> fJobs;
    WriteFunction fWrite; // guarded by fMutex
    int fBusy = 0; // jobs handed over and not yet finished
    bool fStop = false;
    std::thread fWriter;
};
