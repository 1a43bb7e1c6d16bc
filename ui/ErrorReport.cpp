#include "ui/ErrorReport.h"

#include "core/DiagnosticLog.h"
#include "core/UserMessages.h"

namespace {
const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(LogCategory::MainForm, false);
    return log;
}

void Report(const QString& text)
{
    Log().Send(QStringLiteral("Error: ") + text);
    ShowMessage(text);
}
}

void ReportError(const std::exception& error)
{
    Report(QString::fromUtf8(error.what()));
}

void ReportUnknownError()
{
    Report(QStringLiteral("Unknown error"));
}

bool TessalyApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunReportingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
