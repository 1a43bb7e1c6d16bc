#include "tools/SimulatorHost.h"

#include <chrono>
#include <utility>

SimulatorHost::SimulatorHost(std::shared_ptr<LineProtocol> protocol) : fProtocol(std::move(protocol))
{
    if (fTerminal.IsOpen())
        fThread = std::thread([this] { Run(); });
}

SimulatorHost::~SimulatorHost()
{
    fStop = true;
    if (fThread.joinable())
        fThread.join();
}

QList<QByteArray> SimulatorHost::ReceivedLines() const
{
    std::lock_guard lock(fMutex);
    return fReceived;
}

void SimulatorHost::ClearReceivedLines()
{
    std::lock_guard lock(fMutex);
    fReceived.clear();
}

void SimulatorHost::Run()
{
    LineSplitter lines;
    while (!fStop) {
        for (const QByteArray& line : lines.Take(fTerminal.Read(20))) {
            {
                std::lock_guard lock(fMutex);
                fReceived << line;
            }
            const std::optional<SimulatorReply> reply = fProtocol->Answer(line);
            if (!reply)
                continue;
            if (reply->delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(reply->delayMs));
            fTerminal.Write(reply->bytes);
        }
    }
}

QList<QByteArray> LineSplitter::Take(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    for (const char c : bytes) {
        const bool lfAfterCr = c == '\n' && fAfterCr;
        fAfterCr = c == '\r';
        if (lfAfterCr)
            continue;
        if (c == '\r' || c == '\n')
            lines << std::exchange(fPending, {});
        else
            fPending += c;
    }
    return lines;
}
