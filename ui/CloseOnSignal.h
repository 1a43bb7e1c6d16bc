#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a system shut-down, Ctrl-C in the terminal) close the
// program the way closing its window does, so that no instrument is left delivering. A signal
// handler may do next to nothing safely: it writes the signal's number into a pipe, and a
// notifier on the pipe's other end runs the close on the window's thread. A second signal,
// once the first has arrived, ends the program at once.
#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

class CloseOnSignal : public QObject {
    Q_OBJECT
public:
    using CloseFunction = std::function<void(int signal)>;

    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};
    // The exit status of the program ended by a second signal: 128 and the signal's number.
    static constexpr int ExitBase = 128;

    // Installs the handlers (one object at a time); close runs once, for the first signal.
    explicit CloseOnSignal(CloseFunction close, QObject* parent = nullptr);
    // Restores the handlers there were before.
    ~CloseOnSignal() override;
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

    // "SIGTERM", "SIGINT" or "SIGHUP".
    static QString SignalName(int signal);

private:
    void Arrived();

    CloseFunction fClose;
    std::unique_ptr<QSocketNotifier> fNotifier;
    std::array<struct sigaction, Signals.size()> fPrevious{};
};
