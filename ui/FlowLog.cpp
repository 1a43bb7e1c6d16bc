#include "ui/FlowLog.h"

#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/DiagnosticLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <chrono>

namespace {
const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::MainForm, false);
    return log;
}

const QString AutoSuffix = QStringLiteral("auto");
constexpr double MinimumSaveInterval = 1.0 / MinutesPerDay;
}

QString FlowLogFileName(const QDateTime& moment, const QString& suffix)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd hh_mm")) + QStringLiteral(" log ") + suffix
           + QStringLiteral(".txt");
}

FlowLog::FlowLog(QString folder, ReportFunction report, QObject* parent)
    : QObject(parent)
    , fFolder(std::move(folder))
    , fReport(std::move(report))
    , fWrite(&FlowLog::WriteWhole)
    , fWriter([this] { WriterLoop(); })
{
}

FlowLog::~FlowLog()
{
    {
        std::lock_guard lock(fMutex);
        fStop = true;
    }
    fWake.notify_all();
    fWriter.join();
}

QString FlowLog::FlowDataSave(const DataTable& table, bool ForceSave, const QString& Suffix)
{
    const double now = NowDays();
    if (!ForceSave && (!table.HasText() || now - fLastSave < MinimumSaveInterval))
        return {};
    const QString path = fFolder + u'/' + FlowLogFileName(DaysToDateTime(now), Suffix);
    TJob job{path, table.Snapshot(), {}, Suffix == AutoSuffix};
    if (job.Automatic) {
        if (fLastAutoFile != path)
            job.Superseded = fLastAutoFile;
        fLastAutoFile = path;
    }
    fLastSave = now;
    {
        std::lock_guard lock(fMutex);
        if (job.Automatic && !fJobs.empty() && fJobs.back().Automatic) {
            // The waiting save never reached the disk: the newer one replaces what it replaced.
            TJob& waiting = fJobs.back();
            job.Superseded = waiting.Superseded == path ? QString() : waiting.Superseded;
            waiting = std::move(job);
        } else {
            fJobs.push_back(std::move(job));
            ++fBusy;
        }
    }
    fWake.notify_one();
    return path;
}

void FlowLog::TableCleared()
{
    fLastAutoFile.clear();
}

bool FlowLog::WaitForSaves(int timeoutMs)
{
    std::unique_lock lock(fMutex);
    const bool done = fDone.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return fBusy == 0; });
    lock.unlock();
    // Deliver the outcomes queued for this thread, so a failure is reported before returning.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return done;
}

bool FlowLog::Idle() const
{
    std::lock_guard lock(fMutex);
    return fBusy == 0;
}

void FlowLog::WriterLoop()
{
    for (;;) {
        TJob job;
        WriteFunction write;
        {
            std::unique_lock lock(fMutex);
            fWake.wait(lock, [this] { return fStop || !fJobs.empty(); });
            if (fJobs.empty())
                return;
            job = std::move(fJobs.front());
            fJobs.pop_front();
            write = fWrite;
        }
        QDir().mkpath(QFileInfo(job.Path).absolutePath());
        const TOutcome outcome{job.Path, job.Superseded, write(job.Path, job.Text)};
        if (outcome.Error.isEmpty() && !job.Superseded.isEmpty())
            QFile::remove(job.Superseded);
        QMetaObject::invokeMethod(this, [this, outcome] { Finished(outcome); }, Qt::QueuedConnection);
        {
            std::lock_guard lock(fMutex);
            --fBusy;
        }
        fDone.notify_all();
    }
}

void FlowLog::SetWriter(WriteFunction write)
{
    std::lock_guard lock(fMutex);
    fWrite = std::move(write);
}

QString FlowLog::WriteWhole(const QString& path, const DataTable::TSnapshot& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    for (const QByteArray& block : text) {
        if (file.write(block) != block.size())
            return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

void FlowLog::Finished(const TOutcome& outcome)
{
    if (outcome.Error.isEmpty()) {
        Log().Send(QStringLiteral("Flow log saved: ") + outcome.Path);
        return;
    }
    // The next automatic save goes ahead at once rather than a minute later.
    fLastSave = 0;
    // The file this save was to replace is still the newest complete one.
    if (fLastAutoFile == outcome.Path)
        fLastAutoFile = outcome.Superseded;
    const QString message = QStringLiteral("Flow log not saved: ") + outcome.Path + QStringLiteral(": ") + outcome.Error;
    Log().Send(message);
    if (fReport)
        fReport(message);
}
