// The tessaly program: the main window with the two demo devices, maximised.
//
// "--screenshot <file.png>" (for the documentation) selects the demo devices, shows the window
// for a few engine ticks, saves a picture of it to the file and closes it.
//
// "--search-port <device>", once per port, adds a port to those "Search Devices" walks: the
// instrument simulators serve on pseudo-terminals, which the system never lists as serial
// ports, so training set-ups name them here.
//
// "--data-dir <folder>" keeps every file the program writes and reads (logs, segment programs,
// the instrument file) under that folder instead of the user's standard folders.
//
// "--control" opens the control socket at start, as its Preferences menu entry does.
#include "core/DataFolders.h"
#include "core/DiagnosticLog.h"
#include "core/UserMessages.h"
#include "devices/InstrumentFile.h"
#include "devices/PortList.h"
#include "devices/WorkerThread.h"
#include "ui/CloseOnSignal.h"
#include "ui/DeviceListView.h"
#include "ui/ErrorReport.h"
#include "ui/FlowLog.h"
#include "ui/MainWindow.h"
#include "ui/MessageLogFile.h"
#include "ui/ModalMessages.h"

#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

namespace {

constexpr int ScreenshotDelayMs = 7000;

QString ScreenshotPath(const QStringList& arguments)
{
    const qsizetype option = arguments.indexOf(QStringLiteral("--screenshot"));
    return option >= 0 && option + 1 < arguments.size() ? arguments[option + 1] : QString();
}

// The values of every "option value" pair, in order.
QStringList OptionValues(const QStringList& arguments, const QString& option)
{
    QStringList values;
    for (qsizetype i = arguments.indexOf(option); i >= 0 && i + 1 < arguments.size(); i = arguments.indexOf(option, i + 2))
        values << arguments[i + 1];
    return values;
}

} // namespace

int main(int argc, char** argv)
{
    TessalyApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    const QStringList dataDirs = OptionValues(QApplication::arguments(), QStringLiteral("--data-dir"));
    if (!dataDirs.isEmpty())
        DataFolders::SetRoot(dataDirs.last());

    DiagnosticFileSink diagnostics(DataFolders::LogsFolder() + QStringLiteral("/diagnostic.log"));
    SetDiagnosticSink([&diagnostics](const QString& category, const QString& line) { diagnostics.Write(category, line); });
    const ModalMessages messages;
    for (const QString& port : OptionValues(QApplication::arguments(), QStringLiteral("--search-port")))
        AddSearchPort(port);

    const InstrumentTable instruments = InstallInstrumentFile(DataFolders::InstrumentFilePath());

    int result = 0;
    {
        TGUIF window;
        // A logout, a system shut-down or Ctrl-C closes the window as the operator would.
        const CloseOnSignal closeOnSignal([&window](int signal) { window.CloseBySignal(signal); });
        window.MM(QStringLiteral("The messages of this run are also in ")
                  + QDir::toNativeSeparators(window.MessageFile().Path()));
        window.showMaximized();
        if (QApplication::arguments().contains(QStringLiteral("--control")))
            window.SetControlSocketOpen(true);
        for (const QString& line : instruments.Messages)
            window.MM(line);
        if (!instruments.Refusal.isEmpty())
            QTimer::singleShot(0, &window, [refusal = instruments.Refusal] { ShowMessage(refusal); });
        const QString screenshot = ScreenshotPath(QApplication::arguments());
        if (!screenshot.isEmpty()) {
            // A bare X server has no window manager to maximise the window.
            window.setGeometry(window.screen()->availableGeometry());
            // Each device's requested flow is drawn once it has been focused.
            DeviceListView& devices = window.ListViewDevices();
            for (int row = devices.topLevelItemCount() - 1; row >= 0; --row) {
                devices.setCurrentItem(devices.topLevelItem(row), 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
                QCoreApplication::processEvents();
            }
            QTimer::singleShot(ScreenshotDelayMs, &window, [&window, screenshot] {
                window.grab().save(screenshot);
                window.close();
            });
        }
        result = QApplication::exec();

        // A worker that the shut-down gave up on may still be talking to its instrument, and a
        // log may still be on its way to a hanging disk: end without waiting for either.
        if (AbandonedWorkersRunning() > 0 || !window.FlowLogs().Idle()) {
            diagnostics.Flush();
            SetDiagnosticSink({});
            std::_Exit(0);
        }
    }
    SetDiagnosticSink({});
    diagnostics.Flush();
    return result;
}
