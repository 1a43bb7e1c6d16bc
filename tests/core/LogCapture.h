#pragma once
// Collects the diagnostic lines of one category while it lives, then restores the sink.
#include "core/DiagnosticLog.h"

#include <QStringList>
#include <memory>
#include <mutex>

class LogCapture {
public:
    explicit LogCapture(QString category) : fState(std::make_shared<State>())
    {
        fPrevious = SetDiagnosticSink([state = fState, category](const QString& from, const QString& line) {
            if (from != category)
                return;
            std::lock_guard lock(state->mutex);
            state->lines << line;
        });
    }
    ~LogCapture() { SetDiagnosticSink(fPrevious); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The lines so far, without the logger's one-off "Initialization".
    QStringList Lines() const
    {
        std::lock_guard lock(fState->mutex);
        QStringList lines = fState->lines;
        lines.removeAll(QStringLiteral("Initialization"));
        return lines;
    }

private:
    struct State {
        std::mutex mutex;
        QStringList lines;
    };
    std::shared_ptr<State> fState;
    DiagnosticSink fPrevious;
};
