#pragma once
// Diagnostic logging: every module owns one logger with a fixed category and sends it one
// text line at a time. Where the lines go is decided once by the program through the sink;
// without a sink they are dropped, so the core runs headless and silent in tests.
#include <QString>
#include <functional>
#include <memory>

namespace LogCategory {
inline constexpr const char* UnitGas = "UnitGas";
inline constexpr const char* GasFlowConversions = "GasFlow conversions";
inline constexpr const char* SerialPort = "SerialPort";
inline constexpr const char* MFC = "MFC";
inline constexpr const char* PSD4Interface = "PSD4 interface";
inline constexpr const char* ThreadMFC = "ThreadMFC";
inline constexpr const char* ThreadPUMP = "ThreadPUMP";
inline constexpr const char* DeviceInfo = "Unit: DeviceInfo";
inline constexpr const char* MainForm = "Main form";
}

// Receives every line of every logger; called from any thread, must not block for long.
using DiagnosticSink = std::function<void(const QString& category, const QString& line)>;

// Installs the process-wide sink (an empty function drops lines); returns the previous one.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

class DiagnosticLogger {
public:
    // Sends "Initialization" when sendInitialization is set, as most modules do on start.
    explicit DiagnosticLogger(QString category, bool sendInitialization = true);

    void Send(const QString& line) const;
    const QString& Category() const { return fCategory; }
    void SetEnabled(bool enabled) { fEnabled = enabled; }

private:
    QString fCategory;
    bool fEnabled = true;
};

// While one lives with quiet set, lines sent on its thread are dropped: a worker whose
// instrument stays silent logs its state changes and a count instead of every failed exchange.
class DiagnosticQuiet {
public:
    explicit DiagnosticQuiet(bool quiet);
    ~DiagnosticQuiet();
    DiagnosticQuiet(const DiagnosticQuiet&) = delete;
    DiagnosticQuiet& operator=(const DiagnosticQuiet&) = delete;

private:
    bool fPrevious;
};

// A sink that appends time-stamped lines to a text file. Callers only queue the line; a
// background writer does the file I/O, so a slow disk never stalls a worker or the window.
// When the queue is far behind, further lines are counted and dropped rather than blocking.
// The log is rotated by size: once the file would pass maxBytes it becomes path.1 (path.1
// becomes path.2, and so on), and of files in all the oldest is removed.
class DiagnosticFileSink {
public:
    static constexpr qint64 DefaultMaxBytes = 10 * 1024 * 1024;
    static constexpr int DefaultFiles = 10;

    explicit DiagnosticFileSink(const QString& path, qint64 maxBytes = DefaultMaxBytes, int files = DefaultFiles);
    ~DiagnosticFileSink();
    DiagnosticFileSink(const DiagnosticFileSink&) = delete;
    DiagnosticFileSink& operator=(const DiagnosticFileSink&) = delete;

    void Write(const QString& category, const QString& line);
    // Blocks until every queued line is on disk (used at shut-down and by tests).
    void Flush();
    QString Path() const;

private:
    struct Impl;
    std::unique_ptr<Impl> fImpl;
};
