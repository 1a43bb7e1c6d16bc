#include "tools/SimulatorHost.h"

#include <chrono>

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
    QByteArray pending;
    while (!fStop) {
        pending += fTerminal.Read(20);
        qsizetype cr;
        while ((cr = pending.indexOf('\r')) >= 0) {
            const QByteArray line = pending.left(cr);
            pending.remove(0, cr + 1);
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
