#pragma once
// The one place that catches an error escaping an event handler or the engine tick: it is
// shown to the operator as a modal message with its text, and the program goes on.
#include <QApplication>
#include <exception>

// Shows the error's text through the modal-message seam.
void ReportError(const std::exception& error);
void ReportUnknownError();

// Runs work; an error it raises ends it and is reported.
template <typename Work>
void RunReportingErrors(Work&& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportUnknownError();
    }
}

// The application object of the program: every event is delivered inside RunReportingErrors.
class TessalyApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};
