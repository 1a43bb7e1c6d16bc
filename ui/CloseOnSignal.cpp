#include "ui/CloseOnSignal.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Shared with the handler, which may touch nothing else.
int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gArrived = 0;

extern "C" void OnSignal(int signal)
{
    if (gArrived)
        _exit(CloseOnSignal::ExitBase + signal);
    gArrived = signal;
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(gPipe[1], &number, 1);
    errno = savedErrno;
}

} // namespace

CloseOnSignal::CloseOnSignal(CloseFunction close, QObject* parent)
    : QObject(parent)
    , fClose(std::move(close))
{
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    gArrived = 0;
    fNotifier = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(fNotifier.get(), &QSocketNotifier::activated, this, &CloseOnSignal::Arrived);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &action, &fPrevious[i]);
}

CloseOnSignal::~CloseOnSignal()
{
    if (!fNotifier)
        return;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        sigaction(Signals[i], &fPrevious[i], nullptr);
    fNotifier.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
    gArrived = 0;
}

QString CloseOnSignal::SignalName(int signal)
{
    switch (signal) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("signal ") + QString::number(signal);
    }
}

void CloseOnSignal::Arrived()
{
    unsigned char number = 0;
    if (read(gPipe[0], &number, 1) != 1)
        return;
    // The close runs the event loop while it waits; the pipe has nothing more to say.
    fNotifier->setEnabled(false);
    if (fClose)
        fClose(number);
}
