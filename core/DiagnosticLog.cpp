#include "core/DiagnosticLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {
std::mutex gSinkMutex;
std::shared_ptr<const DiagnosticSink> gSink;
}

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
    if (!fEnabled)
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
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained;
    std::deque<QString> queue;
    std::size_t dropped = 0;
    bool writing = false;
    bool stop = false;
    std::thread writer;

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
                file.write(bytes);
                file.flush();
            }
            lock.lock();
            writing = false;
            drained.notify_all();
        }
        drained.notify_all();
    }
};

DiagnosticFileSink::DiagnosticFileSink(const QString& path) : fImpl(std::make_unique<Impl>())
{
    fImpl->path = path;
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
