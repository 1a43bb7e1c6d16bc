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
const QString TextExtension = QStringLiteral(".txt");
constexpr double MinimumSaveInterval = 1.0 / MinutesPerDay;
}

QString FlowLogFileName(const QDateTime& moment, const QString& suffix)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd hh_mm")) + QStringLiteral(" log ") + suffix + TextExtension;
}

FlowLog::FlowLog(QString folder, ReportFunction report, QObject* parent, QString runMark)
    : QObject(parent)
    , fFolder(std::move(folder))
    , fReport(std::move(report))
    , fRunMark(std::move(runMark))
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
    const bool automatic = Suffix == AutoSuffix;
    const QString path = fFolder + u'/' + FlowLogFileName(DaysToDateTime(now), automatic ? AutomaticSuffix() : Suffix);
    TJob job{path, table.Snapshot(), automatic, fTable};
    fLastSave = now;
    {
        std::lock_guard lock(fMutex);
        if (job.Automatic && !fJobs.empty() && fJobs.back().Automatic) {
            // The waiting save never reached the disk: the newer one takes its place.
            fJobs.back() = std::move(job);
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
    std::lock_guard lock(fMutex);
    ++fTable;
}

QString FlowLog::AutomaticSuffix() const
{
    return AutoSuffix + u' ' + fRunMark;
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
        const QString path = OwnName(job.Path);
        const TOutcome outcome{path, write(path, job.Text)};
        if (outcome.Error.isEmpty()) {
            fWritten.insert(path);
            if (job.Automatic) {
                // The newer file of the same table holds all the older one did.
                if (!fLastAutoFile.isEmpty() && fLastAutoFile != path && fLastAutoTable == job.Table)
                    QFile::remove(fLastAutoFile);
                fLastAutoFile = path;
                fLastAutoTable = job.Table;
            }
        }
        QMetaObject::invokeMethod(this, [this, outcome] { Finished(outcome); }, Qt::QueuedConnection);
        {
            std::lock_guard lock(fMutex);
            --fBusy;
        }
        fDone.notify_all();
    }
}

QString FlowLog::OwnName(const QString& path) const
{
    const QString stem = path.chopped(TextExtension.size());
    QString candidate = path;
    for (int n = 2; QFileInfo::exists(candidate) && !fWritten.contains(candidate); ++n)
        candidate = stem + QStringLiteral(" (%1)").arg(n) + TextExtension;
    return candidate;
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
    // Whether the problem shown changed: a save that keeps failing the same way is told once,
    // and the status strip shows it meanwhile.
    const auto showProblem = [this](const QString& problem) {
        if (problem == fProblem)
            return false;
        fProblem = problem;
        emit SavingProblemChanged(problem);
        return true;
    };
    if (outcome.Error.isEmpty()) {
        Log().Send(QStringLiteral("Flow log saved: ") + outcome.Path);
        showProblem({});
        return;
    }
    // The next automatic save goes ahead at once rather than a minute later.
    fLastSave = 0;
    const QString message = QStringLiteral("Flow log not saved: ") + outcome.Path + QStringLiteral(": ") + outcome.Error;
    Log().Send(message);
    if (showProblem(QStringLiteral("Flow logs are not being saved in ") + QFileInfo(outcome.Path).absolutePath()
                    + QStringLiteral(": ") + outcome.Error)
        && fReport)
        fReport(message);
}
