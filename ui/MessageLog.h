#pragma once
// The message log: read-only, fixed-pitch lines, each message prefixed with the time of day.
// Lines are only ever appended (never the whole text rewritten) and the view follows the last
// line. The oldest lines are dropped beyond a limit (MaximumLines unless told otherwise), so a
// run of days (a pump in segment mode logs nine lines a second) cannot eat the memory.
#include <QPlainTextEdit>
#include <functional>

class MessageLog : public QPlainTextEdit {
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

    QString Text() const;

private:
    void AppendLines(QString lines);

    TimeStampFunction fTimeStamp;
};
