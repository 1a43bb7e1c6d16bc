#pragma once
// Segment programs: a text of timed setpoints, one point per line ("12.5 30 Ramp" or
// "12 100 Step Some_note"), with times in minutes from the program start and setpoints in
// percent of full scale. Numbers in the text always use a point. Lines end with CR LF; when
// a text is read a lone CR or LF also ends a line, and a break after the last line adds no
// line.
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

// One point of a program as read from its line.
struct TSegment {
    double Time = 0;     // minutes from program start
    double Setpoint = 0; // percent of full scale
    QString aType;       // "Step" or "Ramp" as written
    int Index = 0;       // 0-based line; SegmentIndexNone or SegmentIndexStart
    QString Note;
};

inline constexpr int SegmentIndexNone = -1;  // no such line
inline constexpr int SegmentIndexStart = -2; // the implicit point at time 0, setpoint 0

// The fields of one program line: split at runs of blanks and control characters (leading
// and trailing ones ignored). A field that begins with a double quote runs to the closing
// quote, two double quotes inside it standing for one; whatever follows the closing quote
// starts the next field. Holds views into the line, so the line must outlive it.
class TSegmentFields {
public:
    explicit TSegmentFields(QStringView line);

    qsizetype Count() const { return fCount; }
    // Field i (from 0) with its quotes removed; empty past the last field.
    QString Text(qsizetype i) const;
    // Reads field i as a point-decimal number without building a text for it.
    bool ToDouble(qsizetype i, double& value) const;

private:
    struct Field {
        QStringView raw; // as written, quotes included
        bool quoted = false;
    };
    static constexpr qsizetype KeptFields = 5; // callers look at four and need "more than four"
    std::array<Field, KeptFields> fFields;
    qsizetype fCount = 0;
};

// The latest program time the editor's time boxes take: ten years (5 259 600 minutes), longer
// than any experiment runs, so a typed time in any time unit stays an ordinary number when it
// is stored in minutes.
inline constexpr double SegmentTimeMax_min = 10 * 365.25 * 1440;

// Number of lines of a program text.
int SegmentCount(const QString& text);

// The lines of a program text, by the line break rule above.
QStringList SegmentProgramLines(const QString& text);

// Reads line `index` (from 0) into segment. Past the last line: Time -1, Setpoint -1, aType
// "ID not found", Index SegmentIndexNone, Note empty. A line that cannot be read shows
// "Failed to read segment" and leaves segment with what was filled before the failure.
// Note is only set by a line of exactly four fields. True when a line was read whole.
bool ReadSegment(int index, const QString& text, TSegment& segment);

// Every readable line of a program, in order (unreadable lines show their message and are
// left out).
QList<TSegment> ReadSegments(const QString& text);

// The setpoint that a program asks for t minutes after its start: a ramp point moves
// linearly from the previous point, a step point holds the previous point up to and
// including its own time, and after the last point the setpoint is 0. Before the start
// (t < 0) the program is at its start: 0, or a ramp point at time 0's own setpoint. Only a
// type of exactly "Ramp" ramps. One pass over the text.
TSegment SegmentAt(const QString& text, double t);
// The same without a message: UnreadLines tells how many of the lines passed over could not
// be read (each of which SegmentAt above shows as "Failed to read segment").
TSegment SegmentAt(const QString& text, double t, int& UnreadLines);

// Checks characters, field counts, types, number formats and bounds of every line, showing
// each finding to the operator. An empty text is valid.
bool ValidateSegmentProgram(const QString& text);

// The same check of one line, shown to no one: the findings in the order ValidateSegmentProgram
// shows them (none for a good line), and whether the check of a program stops at this line.
// Characters are not looked at: they are a finding of the whole text that fails no line.
struct TSegmentLineCheck {
    QStringList Findings;
    bool Stops = false;
};
TSegmentLineCheck CheckSegmentLine(QStringView line);

// The one message about the characters a program may not hold: "Invalid character: " and the
// first of them, and when there are more, a second line with their count and the first few
// different ones. Empty when every character is allowed.
QString InvalidCharactersMessage(const QString& text);

// Time of the last point of a valid, non-blank program; 0 otherwise.
double SegmentProgramDuration(const QString& text);

// Keeps only blanks, letters, digits and % * / @ of a note, blanks turned into underscores,
// so the note is a single field of its line.
QString SanitizeNote(const QString& note);

// Adds line to the program in text, keyed by whole minute: a point at the same minute is
// replaced, the result is in ascending time order with CR LF after every line. Lines of
// other than three or four fields are dropped. Throws ConvertError when a time (of text or
// of line) is not a whole number; text is then unchanged.
void MergeSegmentLine(QString& text, const QString& line);

// False, with the first offending line, when MergeSegmentLine would refuse text.
bool SegmentProgramHasWholeMinutes(const QString& text, QString& offendingLine);

// One row of the segment editor's list: the time as caption; setpoint, type and optionally
// the note (with blanks) as sub-items.
struct TSegmentRow {
    QString Caption;
    QStringList SubItems;
};

// The program text of the editor's rows, trimmed of surrounding blanks and line breaks.
QString SegmentRowsToText(const QList<TSegmentRow>& rows);

// Replaces rows by one row per line of text. On a line that cannot be read shows "Failed to
// read segment program" and stops; the rows before it stay. True when every line was read.
bool SegmentTextToRows(const QString& text, QList<TSegmentRow>& rows);
