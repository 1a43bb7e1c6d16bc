// Serves one simulated PSD4 syringe pump on a new pseudo-terminal. The first line printed is
// the device path to open as the pump's serial port; the traffic follows, one line per frame.
// Runs until SIGINT or SIGTERM.
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <string>

namespace {

const char* const kUsage =
    "Usage: pump_simulator [options]\n"
    "  --serial DIGITS     eight-digit serial number in slots 12 and 13 (default 23011001)\n"
    "  --time-scale X      real time per pump second (default 1; 0.01 runs a hundred times faster)\n"
    "  --firmware TEXT     the firmware version the report \"&\" gives\n"
    "  --status C          fault: answer every frame with status character C (e.g. i, syringe overload)\n"
    "  --never-ready       fault: always report busy\n"
    "  --silent            fault: answer nothing\n";

std::mutex gOutputMutex;

void PrintLine(const QByteArray& text)
{
    std::lock_guard lock(gOutputMutex);
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Control characters (ETX, CR, LF) shown as \xNN so a frame stays on one line.
QByteArray Printable(const QByteArray& bytes)
{
    QByteArray text;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            text += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

// Passes every frame to the pump and prints it with the pump's answer.
class TrafficLog : public LineProtocol {
public:
    explicit TrafficLog(std::shared_ptr<PumpSimulator> pump) : fPump(std::move(pump)) {}
    std::optional<SimulatorReply> Answer(const QByteArray& line) override
    {
        const std::optional<SimulatorReply> reply = fPump->Answer(line);
        PrintLine("<- " + Printable(line) + "\\r");
        PrintLine(reply ? "-> " + Printable(reply->bytes) : QByteArray("-> (no answer)"));
        return reply;
    }

private:
    std::shared_ptr<PumpSimulator> fPump;
};

bool ParseOptions(int argc, char** argv, PumpSimulatorOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--serial" && hasValue) {
            options.Serial = argv[++i];
            if (!PumpSimulator::IsValidSerial(options.Serial)) {
                std::fprintf(stderr, "The serial number must be eight digits: %s\n", options.Serial.constData());
                return false;
            }
        } else if (option == "--time-scale" && hasValue) {
            char* end = nullptr;
            options.TimeScale = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(options.TimeScale >= 1e-6 && options.TimeScale <= 1e6)) {
                std::fprintf(stderr, "The time scale must be a number from 1e-6 to 1e6: %s\n", argv[i]);
                return false;
            }
        } else if (option == "--firmware" && hasValue) {
            options.Firmware = argv[++i];
        } else if (option == "--status" && hasValue) {
            const char* value = argv[++i];
            if (std::strlen(value) != 1) {
                std::fprintf(stderr, "The status must be one character: %s\n", value);
                return false;
            }
            options.StatusOverride = value[0];
        } else if (option == "--never-ready") {
            options.NeverReady = true;
        } else if (option == "--silent") {
            options.Silent = true;
        } else if (option == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(EXIT_SUCCESS);
        } else {
            std::fprintf(stderr, "Unknown or incomplete option: %s\n%s", option.c_str(), kUsage);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    PumpSimulatorOptions options;
    if (!ParseOptions(argc, argv, options))
        return 2;

    // Blocked before the serving thread starts, so it inherits the mask and only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimulatorHost host(std::make_shared<TrafficLog>(std::make_shared<PumpSimulator>(options)));
    if (!host.IsOpen()) {
        std::fprintf(stderr, "%s\n", host.ErrorText().toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    PrintLine(host.PortPath().toLocal8Bit());

    int signal = 0;
    sigwait(&stopSignals, &signal);
    PrintLine("Stopped by signal " + QByteArray::number(signal));
    return EXIT_SUCCESS;
}
