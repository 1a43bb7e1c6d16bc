#pragma once
// Common ground of the controller and pump workers: the synchronised exchange with the
// window's thread and the bounded shut-down. A worker shares nothing with the window but its
// exchange records, copied only inside DataExchange, which runs on the window's thread while
// the worker waits.
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <memory>

// What a worker has to tell the operator beside its readings; part of both exchange records.
struct TWorkerReport {
    // The device's row state while not empty (e.g. "full scale unknown").
    QString Condition;
    // Lines for the message log. Each reaches GUIIn once and stays there until the window
    // takes it, however many exchanges run in between.
    QStringList Notices;
};

class WorkerThread : public QThread {
public:
    using QThread::QThread;

    QString Name;

    // The window asks the worker to stop (GUIOut.ToTerminate).
    virtual void RequestStop() = 0;
    // The worker has reported that it left its loop (GUIIn.IsTerminated).
    virtual bool ReportedTerminated() const = 0;

    // The window no longer exchanges with this worker: it was given up, or is being destroyed.
    bool IsAbandoned() const { return fAbandoned.load() || fEnding.load(); }
    // Being destroyed: the worker makes one attempt to bring its instrument to rest, then ends.
    bool IsEnding() const { return fEnding.load(); }

protected:
    virtual void DataExchange() = 0;
    // Runs DataExchange on the window's thread and waits for it; skipped once abandoned.
    void Synchronise();
    // For the destructors of the workers, before their members go: a worker still running is
    // told to end and waited for. The window's thread keeps serving an exchange the worker had
    // already asked for, which would otherwise wait for the window while the window waits for it.
    void EndBeforeDestruction();

private:
    friend void AbandonWorker(std::unique_ptr<WorkerThread> worker);
    std::atomic<bool> fAbandoned{false};
    std::atomic<bool> fEnding{false};
};

// A worker with its four exchange records: the window writes GUIOut and reads GUIIn, the
// worker reads ThreadIn and writes ThreadOut; DataExchange copies ThreadOut to GUIIn and
// GUIOut to ThreadIn, whole, while both sides are synchronised.
template <typename Record>
class ExchangeWorker : public WorkerThread {
public:
    using WorkerThread::WorkerThread;

    Record GUIIn;
    Record GUIOut;
    Record ThreadIn;
    Record ThreadOut;

    void RequestStop() override { GUIOut.ToTerminate = true; }
    bool ReportedTerminated() const override { return GUIIn.IsTerminated; }

protected:
    void DataExchange() override
    {
        QStringList untaken = std::move(GUIIn.Report.Notices);
        GUIIn = ThreadOut;
        untaken += std::move(GUIIn.Report.Notices);
        GUIIn.Report.Notices = std::move(untaken);
        ThreadOut.Report.Notices.clear();
        ThreadIn = GUIOut;
    }
};

// The window stops waiting for this worker: it no longer exchanges with the window and keeps
// trying to bring its instrument to rest on its own. It is kept here, never freed while it
// runs, and freed once it has ended. Window thread only.
void AbandonWorker(std::unique_ptr<WorkerThread> worker);

// Frees the abandoned workers that have ended and tells how many still run; the program
// must not wait for those when it ends.
int AbandonedWorkersRunning();
