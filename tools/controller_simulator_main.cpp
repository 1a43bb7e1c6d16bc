// Serves one simulated mass flow controller on a new pseudo-terminal until SIGINT or SIGTERM.
// The first line of output is the device path to open (e.g. /dev/pts/5); every received line
// and every reply follows on its own line.
#include "core/BuiltInInstruments.h"
#include "core/DataFolders.h"
#include "core/InstrumentEntries.h"
#include "tools/ControllerSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>

namespace {

// Prints each exchange of the simulated controller as it happens.
class LoggingProtocol : public LineProtocol {
public:
    explicit LoggingProtocol(std::shared_ptr<LineProtocol> inner) : fInner(std::move(inner)) {}

    std::optional<SimulatorReply> Answer(const QByteArray& line) override
    {
        const std::optional<SimulatorReply> reply = fInner->Answer(line);
        std::printf("<- %s\n", Printable(line).constData());
        if (reply)
            std::printf("-> %s\n", Printable(reply->bytes).constData());
        else
            std::printf("   (no reply)\n");
        std::fflush(stdout);
        return reply;
    }

private:
    static QByteArray Printable(const QByteArray& bytes)
    {
        QByteArray text;
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            text += b >= 0x20 && b < 0x7F ? QByteArray(1, c) : QByteArray("<") + QByteArray::number(b) + '>';
        }
        return text;
    }

    std::shared_ptr<LineProtocol> fInner;
};

// The controller entry with this serial number among entries; false when there is none.
bool FullScaleOf(const std::vector<InstrumentEntry>& entries, const QString& serial, double& fullScale)
{
    for (const InstrumentEntry& entry : entries) {
        if (!entry.IsPump() && SerialNumberIn(entry.Serial, serial)) {
            fullScale = entry.FullScale_sccm;
            return true;
        }
    }
    return false;
}

// A real controller's full scale is on its label and in the lab's instrument file; a simulated
// one can take it from such a file, so that it agrees with the entry the program reads.
bool FullScaleFromFile(const QString& path, const QString& serial, double& fullScale, QString& problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const InstrumentFileContent content = ParseInstrumentFile(QString::fromUtf8(file.readAll()));
    if (!content.Errors.empty()) {
        const InstrumentFileError& error = content.Errors.front();
        problem = QStringLiteral("%1, line %2, field \"%3\": %4").arg(path).arg(error.Line).arg(error.Field, error.Reason);
        return false;
    }
    if (FullScaleOf(content.Entries, serial, fullScale))
        return true;
    problem = path + QStringLiteral(": no controller entry with serial number ") + serial;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated Alicat mass flow controller on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Serial number it reports."), QStringLiteral("number"), QStringLiteral("142001"));
    const QCommandLineOption fullScale(QStringLiteral("full-scale"), QStringLiteral("Full scale in SCCM (default: as the program's instrument file on this machine has it for the serial number, or its built-in table while there is no file, else 50)."), QStringLiteral("flow"));
    const QCommandLineOption instrumentFile(QStringLiteral("instrument-file"), QStringLiteral("Take the full scale from the controller entry with this serial number in an instrument file."), QStringLiteral("file"));
    const QCommandLineOption timeScale(QStringLiteral("time-scale"), QStringLiteral("Real time per instrument second (default 1; 0.01 runs a hundred times faster)."), QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption noReply(QStringLiteral("no-reply"), QStringLiteral("Answer nothing."));
    const QCommandLineOption wrongReply(QStringLiteral("wrong-reply"), QStringLiteral("Answer every command with this text."), QStringLiteral("text"));
    const QCommandLineOption shortReply(QStringLiteral("short-reply"), QStringLiteral("Cut the status line after the temperature."));
    const QCommandLineOption nonNumeric(QStringLiteral("non-numeric"), QStringLiteral("Make the mass flow field unreadable."));
    const QCommandLineOption statusCodes(QStringLiteral("status-codes"), QStringLiteral("Status codes after the gas label, comma-separated (e.g. HLD,MOV)."), QStringLiteral("codes"));
    const QCommandLineOption longReply(QStringLiteral("long-reply"), QStringLiteral("Pad the status line beyond 80 bytes."));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Reply delay in milliseconds."), QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption unitId(QStringLiteral("unit-id"), QStringLiteral("Unit id letter it answers to (default A); lines for other ids are ignored."), QStringLiteral("letter"), QStringLiteral("A"));
    const QCommandLineOption layout(QStringLiteral("layout"), QStringLiteral("Status line layout: totaliser (default), no-totaliser or valve-drive."), QStringLiteral("layout"), QStringLiteral("totaliser"));
    const QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("old: reject the full-scale query and the DCU unit commands, as older firmware does."), QStringLiteral("version"), QStringLiteral("current"));
    parser.addOptions({serial, fullScale, instrumentFile, timeScale, unitId, layout, firmware, noReply, wrongReply, shortReply, nonNumeric, statusCodes, longReply, delay});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "Unknown argument: %s\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }

    ControllerSimulatorOptions options;
    options.Serial = parser.value(serial);
    bool fullScaleRead = true;
    bool timeScaleRead = false;
    bool delayRead = false;
    if (parser.isSet(fullScale)) {
        options.FullScale = parser.value(fullScale).toDouble(&fullScaleRead);
    } else if (parser.isSet(instrumentFile)) {
        QString problem;
        if (!FullScaleFromFile(parser.value(instrumentFile), options.Serial, options.FullScale, problem)) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return 2;
        }
    } else if (QFile::exists(DataFolders::InstrumentFilePath())) {
        // The program's own file on this machine; one without this serial number leaves 50.
        QString notListed;
        FullScaleFromFile(DataFolders::InstrumentFilePath(), options.Serial, options.FullScale, notListed);
    } else {
        // No file yet: the program, too, reads the instruments from its built-in table.
        FullScaleOf(BuiltInInstruments(), options.Serial, options.FullScale);
    }
    options.TimeScale = parser.value(timeScale).toDouble(&timeScaleRead);
    ControllerFaults faults;
    faults.ReplyDelayMs = parser.value(delay).toInt(&delayRead);
    if (!fullScaleRead || !timeScaleRead || options.TimeScale < 0 || !delayRead || faults.ReplyDelayMs < 0) {
        std::fprintf(stderr, "--full-scale, --time-scale and --delay take non-negative numbers\n");
        return 2;
    }
    const QString unit = parser.value(unitId).toUpper();
    if (unit.size() != 1 || unit[0] < u'A' || unit[0] > u'Z') {
        std::fprintf(stderr, "--unit-id takes one letter A to Z: %s\n", qPrintable(parser.value(unitId)));
        return 2;
    }
    options.UnitID = char(unit[0].unicode());
    const QString layoutName = parser.value(layout);
    if (layoutName == QStringLiteral("totaliser"))
        options.Layout = ControllerStatusLayout::Totalizer;
    else if (layoutName == QStringLiteral("no-totaliser"))
        options.Layout = ControllerStatusLayout::NoTotalizer;
    else if (layoutName == QStringLiteral("valve-drive"))
        options.Layout = ControllerStatusLayout::ValveDrive;
    else {
        std::fprintf(stderr, "--layout takes totaliser, no-totaliser or valve-drive: %s\n", qPrintable(layoutName));
        return 2;
    }
    const QString firmwareName = parser.value(firmware);
    if (firmwareName != QStringLiteral("old") && firmwareName != QStringLiteral("current")) {
        std::fprintf(stderr, "--firmware takes old or current: %s\n", qPrintable(firmwareName));
        return 2;
    }
    options.OldFirmware = firmwareName == QStringLiteral("old");
    faults.NoReply = parser.isSet(noReply);
    faults.FixedReply = parser.value(wrongReply).toLatin1();
    faults.ShortReply = parser.isSet(shortReply);
    faults.NonNumericFields = parser.isSet(nonNumeric);
    if (parser.isSet(statusCodes))
        faults.StatusCodes = parser.value(statusCodes).split(u',');
    faults.LongReply = parser.isSet(longReply);

    // Blocked before the host's thread starts, so only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto controller = std::make_shared<ControllerSimulator>(options);
    controller->SetFaults(faults);
    SimulatorHost host(std::make_shared<LoggingProtocol>(controller));
    if (!host.IsOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(host.ErrorText()));
        return 1;
    }
    std::printf("%s\n", qPrintable(host.PortPath()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}
