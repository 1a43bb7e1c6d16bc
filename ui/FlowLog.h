#pragma once
// The flow logs: copies of the data table in the Logs folder (DataFolders), one file per save
// named by the minute of the save and a suffix telling why it was saved
// ("2025-06-13 14_05 log StopSegmentsClick.txt"). The automatic save runs at most once a
// minute; the other suffixes save at once.
//
// A save takes a copy of the table (cheap: its blocks are shared) and a writer thread writes
// it under a temporary name and renames it over the target, so the window never waits on the
// disk and a crash or a full disk never leaves a truncated log. A failed save is reported in
// the message log (once while saves keep failing the same way), the failure is shown until a
// save succeeds again, and the next automatic save tries again. An automatic save still waiting for the writer is replaced by a newer one
// rather than queued behind it, so a slow disk never piles up saves. Each automatic save holds
// the whole table, so it replaces the previous automatic file of the same table: a week-long
// run keeps one automatic file rather than one per minute.
//
// Automatic files carry the run mark ("2025-06-13 14_05 log auto 140307-4711.txt"), so no two
// runs name one alike. A run only ever replaces or removes a file it wrote itself: where
// another run's file has the name a save would take, the save goes to "... (2).txt".
#include "core/RunMark.h"
#include "ui/DataTable.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
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

    // folder: where the files go; report: receives a line for each failed save; runMark: the
    // mark of the automatic files.
    FlowLog(QString folder, ReportFunction report, QObject* parent = nullptr, QString runMark = RunMark());
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

    // The suffix of the automatic saves: "auto" and the run mark.
    QString AutomaticSuffix() const;

    // Waits until every save handed over so far is written or failed; false on time-out.
    bool WaitForSaves(int timeoutMs);
    bool Idle() const;

signals:
    // Saving failed ("Flow logs are not being saved in <folder>: <reason>"), or succeeded
    // again after failing (empty).
    void SavingProblemChanged(const QString& problem);

private:
    struct TJob {
        QString Path;
        DataTable::TSnapshot Text;
        bool Automatic = false;
        int Table = 0; // which table it is (TableCleared starts a new one)
    };
    struct TOutcome {
        QString Path;
        QString Error; // empty on success
    };

    void WriterLoop();
    // The name the save goes to: Path, or where another run's file stands there, the first of
    // "... (2).txt", "... (3).txt" ... that is free or this run's own. Writer thread.
    QString OwnName(const QString& path) const;
    void Finished(const TOutcome& outcome);

    QString fFolder;
    ReportFunction fReport;
    QString fRunMark;
    double fLastSave = 0; // days; 0 = never, or the last save failed
    int fTable = 0;
    QString fProblem; // shown while saving fails

    // The writer thread's own: every file this run wrote, and the newest automatic one.
    QSet<QString> fWritten;
    QString fLastAutoFile;
    int fLastAutoTable = 0;

    mutable std::mutex fMutex;
    std::condition_variable fWake;
    std::condition_variable fDone;
    std::deque<TJob> fJobs;
    WriteFunction fWrite; // guarded by fMutex
    int fBusy = 0; // jobs handed over and not yet finished
    bool fStop = false;
    std::thread fWriter;
};
