#pragma once
// The message log: read-only, fixed-pitch lines, each message prefixed with the time of day.
// Lines are only ever appended (never the whole text rewritten) and the view follows the last
// line. The oldest lines are dropped beyond a limit (MaximumLines unless told otherwise), so a
// run of days (a pump in segment mode logs nine lines a second) cannot eat the memory; adding
// a line costs the same with a full log as with an empty one.
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

    // Appends the time stamp and the message as a new line. A message holding line breaks
    // (LF, CR LF or CR) spans several lines; only the first carries the time stamp.
    void MM(const QString& aMessage);
    // Appends text that carries its own time stamps and line breaks (CR LF, LF or CR); a
    // break at its end closes its last line, as every line of the log is closed.
    void AppendText(const QString& text);
    void Clear();

    qsizetype LineCount() const override { return qsizetype(fLines.size()); }
    QString Line(qsizetype index) const override;
    // The lines joined by LF.
    QString Text() const override;

private:
    void AppendLines(const QString& lines);

    TimeStampFunction fTimeStamp;
    std::deque<QString> fLines;
    qsizetype fMaximumLines;
};
