#include "core/DiagnosticLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {
std::mutex gSinkMutex;
std::shared_ptr<const DiagnosticSink> gSink;
thread_local bool tQuiet = false;
}

DiagnosticQuiet::DiagnosticQuiet(bool quiet) : fPrevious(tQuiet) { tQuiet = tQuiet || quiet; }

DiagnosticQuiet::~DiagnosticQuiet() { tQuiet = fPrevious; }

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink)
{
    std::lock_guard lock(gSinkMutex);
    DiagnosticSink previous = gSink ? *gSink : DiagnosticSink{};
    gSink = sink ? std::make_shared<const DiagnosticSink>(std::move(sink)) : nullptr;
    return previous;
}

DiagnosticLogger::DiagnosticLogger(QString category, bool sendInitialization)
    : fCategory(std::move(category))
{
    if (sendInitialization)
        Send(QStringLiteral("Initialization"));
}

void DiagnosticLogger::Send(const QString& line) const
{
    if (!fEnabled || tQuiet)
        return;
    std::shared_ptr<const DiagnosticSink> sink;
    {
        std::lock_guard lock(gSinkMutex);
        sink = gSink;
    }
    if (sink)
        (*sink)(fCategory, line);
}

struct DiagnosticFileSink::Impl {
    static constexpr std::size_t MaxQueued = 200000;

    QString path;
    qint64 maxBytes = DefaultMaxBytes;
    int files = DefaultFiles;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained;
    std::deque<QString> queue;
    std::size_t dropped = 0;
    bool writing = false;
    bool stop = false;
    std::thread writer;

    QString Numbered(int n) const { return path + u'.' + QString::number(n); }

    // path.(files-1) goes, every other numbered file moves up one, path becomes path.1.
    void Rotate(QFile& file)
    {
        file.close();
        QFile::remove(Numbered(files - 1));
        for (int n = files - 2; n >= 1; --n)
            QFile::rename(Numbered(n), Numbered(n + 1));
        if (files > 1)
            QFile::rename(path, Numbered(1));
        else
            QFile::remove(path);
        file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }

    void Write(QFile& file, const QByteArray& bytes)
    {
        // One batch is split at line ends so that no file grows much past the limit.
        qsizetype from = 0;
        while (from < bytes.size()) {
            const qint64 room = maxBytes - file.size();
            qsizetype to = bytes.size();
            if (to - from > room) {
                to = from;
                if (room > 0) {
                    const qsizetype end = bytes.lastIndexOf('\n', from + room - 1);
                    if (end >= from)
                        to = end + 1;
                }
                // A line longer than a whole file gets a file of its own.
                if (to == from && file.size() == 0)
                    to = bytes.indexOf('\n', from) + 1;
            }
            file.write(bytes.constData() + from, to - from);
            from = to;
            if (from < bytes.size())
                Rotate(file);
        }
        file.flush();
    }

    void Run()
    {
        QFile file(path);
        const bool open = file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stop || !queue.empty(); });
            if (queue.empty() && stop)
                break;
            std::deque<QString> batch;
            batch.swap(queue);
            std::size_t lost = dropped;
            dropped = 0;
            writing = true;
            lock.unlock();
            if (open) {
                QByteArray bytes;
                for (const QString& line : batch)
                    bytes += line.toUtf8() + '\n';
                if (lost)
                    bytes += QByteArrayLiteral("... ") + QByteArray::number(qulonglong(lost))
                             + QByteArrayLiteral(" diagnostic lines dropped\n");
                Write(file, bytes);
            }
            lock.lock();
            writing = false;
            drained.notify_all();
        }
        drained.notify_all();
    }
};

DiagnosticFileSink::DiagnosticFileSink(const QString& path, qint64 maxBytes, int files) : fImpl(std::make_unique<Impl>())
{
    fImpl->path = path;
    fImpl->maxBytes = std::max<qint64>(maxBytes, 1);
    fImpl->files = std::max(files, 1);
    QDir().mkpath(QFileInfo(path).absolutePath());
    fImpl->writer = std::thread([impl = fImpl.get()] { impl->Run(); });
}

DiagnosticFileSink::~DiagnosticFileSink()
{
    {
        std::lock_guard lock(fImpl->mutex);
        fImpl->stop = true;
    }
    fImpl->wake.notify_all();
    fImpl->writer.join();
}

void DiagnosticFileSink::Write(const QString& category, const QString& line)
{
    const QString text = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                         + QStringLiteral(" [") + category + QStringLiteral("] ") + line;
    {
        std::lock_guard lock(fImpl->mutex);
        if (fImpl->queue.size() >= Impl::MaxQueued) {
            ++fImpl->dropped;
            return;
        }
        fImpl->queue.push_back(text);
    }
    fImpl->wake.notify_one();
}

void DiagnosticFileSink::Flush()
{
    std::unique_lock lock(fImpl->mutex);
    fImpl->drained.wait(lock, [this] { return fImpl->queue.empty() && !fImpl->writing; });
}

QString DiagnosticFileSink::Path() const { return fImpl->path; }
