#pragma once
// Helpers shared by the instrument tests: a line protocol scripted by a function, a capture of
// the diagnostic log, and short transport timings.
#include "core/DiagnosticLog.h"
#include "tools/SimulatorHost.h"

#include <QStringList>
#include <functional>
#include <mutex>

// Answers each received line through a function the test sets (silent until one is set).
class ScriptedProtocol : public LineProtocol {
public:
    using Script = std::function<std::optional<SimulatorReply>(const QByteArray& line)>;

    void SetScript(Script script)
    {
        std::lock_guard lock(fMutex);
        fScript = std::move(script);
    }
    // Answers every line with the same bytes.
    void AnswerAlways(const QByteArray& bytes, int delayMs = 0)
    {
        SetScript([bytes, delayMs](const QByteArray&) { return SimulatorReply{bytes, delayMs}; });
    }
    std::optional<SimulatorReply> Answer(const QByteArray& line) override
    {
        std::lock_guard lock(fMutex);
        return fScript ? fScript(line) : std::nullopt;
    }

private:
    std::mutex fMutex;
    Script fScript;
};

// Collects the lines of one log category while it lives.
class LogCapture {
public:
    explicit LogCapture(QString category) : fCategory(std::move(category))
    {
        fPrevious = SetDiagnosticSink([this](const QString& category, const QString& line) {
            if (category != fCategory)
                return;
            std::lock_guard lock(fMutex);
            fLines << line;
        });
    }
    ~LogCapture() { SetDiagnosticSink(fPrevious); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList Lines() const
    {
        std::lock_guard lock(fMutex);
        return fLines;
    }

private:
    QString fCategory;
    DiagnosticSink fPrevious;
    mutable std::mutex fMutex;
    QStringList fLines;
};
