#include "core/SegmentProgram.h"

#include "core/Errors.h"
#include "core/NumberText.h"
#include "core/TextTables.h"
#include "core/UserMessages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace {

const QString RampType = QStringLiteral("Ramp");

// Walks the lines of a text without copying them: CR LF, a lone CR and a lone LF each end a
// line; a break at the very end adds no line.
class LineReader {
public:
    explicit LineReader(QStringView text) : fRest(text) {}

    bool Next(QStringView& line)
    {
        if (fRest.isEmpty())
            return false;
        qsizetype end = 0;
        while (end < fRest.size() && fRest[end] != u'\r' && fRest[end] != u'\n')
            ++end;
        line = fRest.first(end);
        qsizetype next = end;
        if (next < fRest.size()) {
            if (fRest[next] == u'\r' && next + 1 < fRest.size() && fRest[next + 1] == u'\n')
                ++next;
            ++next;
        }
        fRest = fRest.sliced(next);
        return true;
    }

private:
    QStringView fRest;
};

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype SkipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && IsAsciiDigit(text[i]))
        ++i;
    return i;
}

// The point-decimal reading of StrToFloatDot for the plain case (ASCII, optional sign,
// digits with one point, optional exponent) without building a text; anything else goes the
// general way, so both accept exactly the same numbers. The evaluation reads every line once
// a second, which is why the plain case is worth a path of its own: up to 15 digits and a
// small power of ten give a correctly rounded result with a single multiplication or
// division (both exact inputs), which is the value the general reading gives as well.
bool ReadDotNumber(QStringView text, double& value)
{
    constexpr qsizetype MaxPlainLength = 63;
    constexpr quint64 MaxExactMantissa = 1ULL << 53;
    static constexpr double ExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    quint64 mantissa = 0;
    bool exact = true;
    int power = 0;
    const auto takeDigits = [&](qsizetype i, bool fraction) {
        for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
            if (mantissa > MaxExactMantissa) {
                exact = false;
                continue;
            }
            mantissa = mantissa * 10 + (text[i].unicode() - u'0');
            if (fraction)
                --power;
        }
        return i;
    };

    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'+' || negative))
        ++i;
    const qsizetype intStart = i;
    i = takeDigits(i, false);
    bool digits = i > intStart;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fracStart = ++i;
        i = takeDigits(i, true);
        digits = digits || i > fracStart;
    }
    if (digits && i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        const bool negativeExponent = i < text.size() && text[i] == u'-';
        if (i < text.size() && (text[i] == u'+' || negativeExponent))
            ++i;
        const qsizetype expStart = i;
        int exponent = 0;
        for (; i < text.size() && IsAsciiDigit(text[i]); ++i)
            exponent = std::min(exponent * 10 + (text[i].unicode() - u'0'), 100000);
        digits = i > expStart;
        power += negativeExponent ? -exponent : exponent;
    }
    if (!digits || i != text.size() || text.size() > MaxPlainLength)
        return TryStrToFloatDot(text.toString(), value);

    if (exact && mantissa <= MaxExactMantissa && power >= -22 && power <= 22) {
        const double magnitude = power < 0 ? double(mantissa) / ExactPowers[-power] : double(mantissa) * ExactPowers[power];
        value = negative ? -magnitude : magnitude;
        return true;
    }
    char buffer[MaxPlainLength + 1];
    qsizetype length = 0;
    for (QChar c : text)
        if (length > 0 || c != u'+')
            buffer[length++] = char(c.unicode());
    double parsed = 0;
    const auto result = std::from_chars(buffer, buffer + length, parsed);
    if (result.ec != std::errc() || result.ptr != buffer + length || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

const QString FailedToReadSegment = QStringLiteral("Failed to read segment");

// Time and setpoint of a line, and whether it has a type: the part of reading a line that the
// evaluation needs for every line it passes. Tells nobody when it fails.
bool ReadSegmentNumbers(const TSegmentFields& fields, TSegment& segment)
{
    return fields.ToDouble(0, segment.Time) && fields.ToDouble(1, segment.Setpoint) && fields.Count() >= 3;
}

// The texts of a line whose numbers were read.
void ReadSegmentTexts(int index, const TSegmentFields& fields, TSegment& segment)
{
    segment.aType = fields.Text(2);
    segment.Index = index;
    if (fields.Count() == 4)
        segment.Note = fields.Text(3);
}

bool ReadSegmentLine(int index, QStringView line, TSegment& segment)
{
    const TSegmentFields fields(line);
    if (!ReadSegmentNumbers(fields, segment)) {
        ShowMessage(FailedToReadSegment);
        return false;
    }
    ReadSegmentTexts(index, fields, segment);
    return true;
}

TSegment NotFoundSegment()
{
    return {-1, -1, QStringLiteral("ID not found"), SegmentIndexNone, {}};
}

TSegment StartSegment()
{
    return {0, 0, QStringLiteral("Step"), SegmentIndexStart, {}};
}

bool IsAllowedCharacter(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U' '
           || c == U'%' || c == U'*' || c == U'/' || c == U'@' || c == U'_' || c == U'.' || c == U'\r'
           || c == U'\n';
}

// A whole decimal number with an optional sign, in the range of a 32-bit integer.
bool TryReadMinute(QStringView text, int& value)
{
    const bool negative = text.startsWith(u'-');
    if (text.startsWith(u'+') || negative)
        text = text.sliced(1);
    if (text.isEmpty() || text.size() > 10 || SkipDigits(text, 0) != text.size())
        return false;
    const qint64 magnitude = text.toLongLong();
    const qint64 parsed = negative ? -magnitude : magnitude;
    if (parsed < std::numeric_limits<int>::min() || parsed > std::numeric_limits<int>::max())
        return false;
    value = int(parsed);
    return true;
}

// How MergeSegmentLine files a line: under its whole minute with the rest of the line as
// value, dropped (not three or four fields), or refused (time not whole; minuteText is it).
enum class MergeEntry { Dropped, Filed, NotWhole };

MergeEntry ReadMergeEntry(QStringView line, int& minute, QString& value, QString& minuteText)
{
    const QStringList fields = line.toString().split(u' ');
    if (fields.size() != 3 && fields.size() != 4)
        return MergeEntry::Dropped;
    if (!TryReadMinute(fields[0], minute)) {
        minuteText = fields[0];
        return MergeEntry::NotWhole;
    }
    value = fields.mid(1).join(u' ');
    return MergeEntry::Filed;
}

// A character as the list of offending characters names it: control characters and blanks
// other than the plain one by their code, so that the list can be read.
QString CharacterShown(char32_t c)
{
    const QString text = QString::fromUcs4(&c, 1);
    if (c < U' ' || (c >= 0x7F && c < 0xA0) || (c != U' ' && text.trimmed().isEmpty()))
        return QStringLiteral("U+%1").arg(quint32(c), 4, 16, QLatin1Char('0')).toUpper();
    return text;
}

} // namespace

QString InvalidCharactersMessage(const QString& text)
{
    // A pasted text may hold thousands: one message names the first few and the count.
    constexpr qsizetype NamedCharacters = 10;
    qsizetype count = 0;
    QList<char32_t> named;
    for (char32_t c : text.toUcs4()) {
        if (IsAllowedCharacter(c))
            continue;
        ++count;
        if (named.size() < NamedCharacters && !named.contains(c))
            named << c;
    }
    if (count == 0)
        return {};
    QString message = QStringLiteral("Invalid character: ") + QString::fromUcs4(&named.front(), 1);
    if (count == 1)
        return message;
    QStringList shown;
    for (char32_t c : named)
        shown << CharacterShown(c);
    return message + QStringLiteral("\n%1 characters are not allowed in all, the first of them: %2")
                         .arg(count)
                         .arg(shown.join(u' '));
}

TSegmentFields::TSegmentFields(QStringView line)
{
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        while (i < n && IsBlankOrControl(line[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        const bool quoted = line[i] == u'"';
        if (quoted) {
            ++i;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        } else {
            while (i < n && !IsBlankOrControl(line[i]))
                ++i;
        }
        if (fCount < KeptFields)
            fFields[fCount] = {line.sliced(start, i - start), quoted};
        ++fCount;
    }
}

QString TSegmentFields::Text(qsizetype i) const
{
    if (i < 0 || i >= std::min(fCount, KeptFields))
        return {};
    const Field& field = fFields[i];
    if (!field.quoted)
        return field.raw.toString();
    QStringView inner = field.raw.sliced(1);
    if (inner.endsWith(u'"'))
        inner.chop(1);
    QString text = inner.toString();
    text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return text;
}

bool TSegmentFields::ToDouble(qsizetype i, double& value) const
{
    if (i < 0 || i >= std::min(fCount, KeptFields))
        return false;
    const Field& field = fFields[i];
    return field.quoted ? TryStrToFloatDot(Text(i), value) : ReadDotNumber(field.raw, value);
}

int SegmentCount(const QString& text)
{
    LineReader lines(text);
    QStringView line;
    int count = 0;
    while (lines.Next(line))
        ++count;
    return count;
}

QStringList SegmentProgramLines(const QString& text)
{
    QStringList result;
    LineReader lines(text);
    QStringView line;
    while (lines.Next(line))
        result << line.toString();
    return result;
}

bool ReadSegment(int index, const QString& text, TSegment& segment)
{
    if (index >= 0) {
        LineReader lines(text);
        QStringView line;
        for (int i = 0; lines.Next(line); ++i)
            if (i == index)
                return ReadSegmentLine(index, line, segment);
    }
    segment = NotFoundSegment();
    return false;
}

QList<TSegment> ReadSegments(const QString& text)
{
    QList<TSegment> result;
    LineReader lines(text);
    QStringView line;
    for (int i = 0; lines.Next(line); ++i) {
        TSegment segment;
        if (ReadSegmentLine(i, line, segment))
            result << segment;
    }
    return result;
}

TSegment SegmentAt(const QString& text, double t)
{
    int unreadLines = 0;
    TSegment result = SegmentAt(text, t, unreadLines);
    for (int i = 0; i < unreadLines; ++i)
        ShowMessage(FailedToReadSegment);
    return result;
}

TSegment SegmentAt(const QString& text, double t, int& UnreadLines)
{
    UnreadLines = 0;
    // Only the numbers of the lines passed over are needed; the texts are read for the two
    // points that frame t.
    TSegment previous = StartSegment();
    QStringView previousLine;
    bool previousRead = false;
    TSegment next = NotFoundSegment();
    LineReader lines(text);
    QStringView line;
    for (int i = 0; lines.Next(line); ++i) {
        const TSegmentFields fields(line);
        TSegment point;
        const bool read = ReadSegmentNumbers(fields, point);
        if (!read)
            ++UnreadLines;
        if (point.Time >= t) {
            if (read)
                ReadSegmentTexts(i, fields, point);
            next = point;
            break;
        }
        previous = point;
        previous.Index = i;
        previousLine = line;
        previousRead = read;
    }
    if (previousRead)
        ReadSegmentTexts(previous.Index, TSegmentFields(previousLine), previous);

    TSegment result;
    if (next.aType == RampType) {
        result.Time = t;
        // A ramp that starts where it ends (a first point at time 0, evaluated at t <= 0) has
        // already reached its own setpoint; before the program start (t < 0) a later ramp has
        // not begun. The fraction comes first, so times near the largest doubles cannot
        // overflow, and the result stays between the two points it moves between.
        if (next.Time == previous.Time) {
            result.Setpoint = next.Setpoint;
        } else if (!(t > previous.Time)) {
            result.Setpoint = previous.Setpoint;
        } else {
            const double fraction = (t - previous.Time) / (next.Time - previous.Time);
            result.Setpoint = std::clamp(previous.Setpoint + fraction * (next.Setpoint - previous.Setpoint),
                                         std::min(previous.Setpoint, next.Setpoint),
                                         std::max(previous.Setpoint, next.Setpoint));
        }
        return result;
    }
    if (next.Index == SegmentIndexNone) {
        result.Time = t;
        result.Note = QStringLiteral("Hard coded zero flow for past last programmed point.");
        return result;
    }
    return previous;
}

TSegmentLineCheck CheckSegmentLine(QStringView line)
{
    TSegmentLineCheck check;
    const auto stop = [&check](const QString& finding) {
        check.Findings << finding;
        check.Stops = true;
        return check;
    };
    const QStringList fields = TrimBlanksAndControls(line).toUpper().split(u' ');
    if (fields.size() != 3 && fields.size() != 4)
        return stop(QStringLiteral("Invalid element count"));
    if (fields[2] != QStringLiteral("STEP") && fields[2] != QStringLiteral("RAMP"))
        return stop(QStringLiteral("Invalid S/R"));
    // The two format findings do not stop the check; a number that did not convert has no bounds.
    double time = 0;
    const bool timeRead = TryStrToFloatDot(fields[0], time);
    if (!timeRead)
        check.Findings << QStringLiteral("Invalid time format");
    double setpoint = 0;
    const bool setpointRead = TryStrToFloatDot(fields[1], setpoint);
    if (!setpointRead)
        check.Findings << QStringLiteral("Invalid setpoint format");
    if (timeRead && time < 0)
        return stop(QStringLiteral("Time out of bounds: ") + FloatToStr(time));
    if (setpointRead && (setpoint < 0 || setpoint > 100))
        return stop(QStringLiteral("Setpoint out of bounds:") + FloatToStr(setpoint));
    return check;
}

bool ValidateSegmentProgram(const QString& text)
{
    const QString characters = InvalidCharactersMessage(text);
    if (!characters.isEmpty())
        ShowMessage(characters);

    bool valid = true;
    LineReader lines(text);
    QStringView line;
    while (lines.Next(line)) {
        const TSegmentLineCheck check = CheckSegmentLine(line);
        for (const QString& finding : check.Findings)
            ShowMessage(finding);
        if (!check.Findings.isEmpty())
            valid = false;
        if (check.Stops)
            return false;
    }
    return valid;
}

double SegmentProgramDuration(const QString& text)
{
    if (!ValidateSegmentProgram(text) || TrimBlanksAndControls(text).isEmpty())
        return 0;
    TSegment last;
    ReadSegment(SegmentCount(text) - 1, text, last);
    return last.Time;
}

QString SanitizeNote(const QString& note)
{
    QString result;
    for (QChar c : note) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'%' || u == u'*' || u == u'/' || u == u'@' || (u >= u'0' && u <= u'9')
            || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            result += u == u' ' ? u'_' : c;
    }
    return result;
}

void MergeSegmentLine(QString& text, const QString& line)
{
    std::map<int, QString> points;
    const auto file = [&points](QStringView programLine) {
        int minute = 0;
        QString value;
        QString minuteText;
        switch (ReadMergeEntry(programLine, minute, value, minuteText)) {
        case MergeEntry::Filed:
            points[minute] = value;
            break;
        case MergeEntry::NotWhole:
            throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(minuteText));
        case MergeEntry::Dropped:
            break;
        }
    };
    LineReader lines(text);
    QStringView programLine;
    while (lines.Next(programLine))
        file(programLine);
    file(line);

    QString merged;
    for (const auto& [minute, value] : points)
        merged += QString::number(minute) + u' ' + value + QStringLiteral("\r\n");
    text = merged;
}

bool SegmentProgramHasWholeMinutes(const QString& text, QString& offendingLine)
{
    LineReader lines(text);
    QStringView line;
    while (lines.Next(line)) {
        int minute = 0;
        QString value;
        QString minuteText;
        if (ReadMergeEntry(line, minute, value, minuteText) == MergeEntry::NotWhole) {
            offendingLine = line.toString();
            return false;
        }
    }
    return true;
}

QString SegmentRowsToText(const QList<TSegmentRow>& rows)
{
    QString text;
    for (const TSegmentRow& row : rows) {
        text += row.Caption + u' ' + row.SubItems.value(0) + u' ' + row.SubItems.value(1);
        // A note of nothing but characters a note cannot hold leaves no field (and no blank).
        const QString note = SanitizeNote(row.SubItems.value(2));
        if (!note.isEmpty())
            text += u' ' + note;
        text += QStringLiteral("\r\n");
    }
    return TrimBlanksAndControls(text);
}

bool SegmentTextToRows(const QString& text, QList<TSegmentRow>& rows)
{
    rows.clear();
    LineReader lines(text);
    QStringView line;
    while (lines.Next(line)) {
        const TSegmentFields fields(line);
        if (fields.Count() < 3) {
            ShowMessage(QStringLiteral("Failed to read segment program"));
            return false;
        }
        TSegmentRow row{fields.Text(0), {fields.Text(1), fields.Text(2)}};
        if (fields.Count() == 4)
            row.SubItems << fields.Text(3).replace(u'_', u' ');
        rows << row;
    }
    return true;
}
