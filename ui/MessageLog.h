#pragma once
// The message log: read-only, fixed-pitch lines, each message prefixed with the time of day.
// Lines are only ever appended (never the whole text rewritten) and the view follows the last
// line. Every line also goes to the line sink (the message log file). The view drops its
// oldest lines beyond a limit (MaximumLines unless told otherwise), so a run of days (a pump
// in segment mode logs nine lines a second) cannot eat the memory, and then its first line
// says how many were dropped and where they all are; adding a line costs the same with a
// full log as with an empty one.
#include "ui/TextLinesView.h"

#include <deque>
#include <functional>

class MessageLog : public TextLinesView {
    Q_OBJECT
public:
    // The text put before each message, e.g. "14:03:07:045 ".
    using TimeStampFunction = std::function<QString()>;

    static constexpr int MaximumLines = 100000;

    explicit MessageLog(TimeStampFunction timeStamp, QWidget* parent = nullptr, int maximumLines = MaximumLines);

    using LineSink = std::function<void(const QString& line)>;
    // Every line from now on also goes to sink; keptIn names where for the dropped-lines line.
    void SetLineSink(LineSink sink, const QString& keptIn);

    // Appends the time stamp and the message as a new line. A message holding line breaks
    // (LF, CR LF or CR) spans several lines; only the first carries the time stamp.
    void MM(const QString& aMessage);
    // Appends text that carries its own time stamps and line breaks (CR LF, LF or CR); a
    // break at its end closes its last line, as every line of the log is closed.
    void AppendText(const QString& text);
    void Clear();

    qsizetype LineCount() const override { return qsizetype(fLines.size()) + (fDropped > 0 ? 1 : 0); }
    QString Line(qsizetype index) const override;
    // The lines joined by LF.
    QString Text() const override;

private:
    void AppendLines(const QString& lines);
    QString DroppedLine() const;

    TimeStampFunction fTimeStamp;
    std::deque<QString> fLines;
    qsizetype fMaximumLines;
    qsizetype fDropped = 0; // lines no longer in the view
    LineSink fSink;
    QString fKeptIn;
};
