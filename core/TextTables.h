#pragma once
// Helpers for the fixed-width text tables the program shows: cells padded to a width and
// followed by " | ", rule lines of "-" and "+-".
#include <QChar>
#include <QStringList>
#include <QString>
#include <QStringView>

// Text followed by n blanks, cut to its first n characters; the first comma becomes a point.
QString PadRight(const QString& text, int n);
// n blanks followed by text, cut to its last n characters; with commaToPoint the first comma
// becomes a point.
QString PadLeft(const QString& text, int n, bool commaToPoint = false);
// A number right-aligned in n characters like PadLeft, but never cut: a number wider than n is
// shown whole and its cell grows, since a number that lost its first digits reads as another
// value.
QString PadLeftNumber(const QString& number, int n);
// Field n (from 1) of text split at every separator; empty when there is no such field.
QString NthField(const QString& text, QChar separator, int n);

// True for a blank or a control character: what separates and surrounds the fields of the
// program's own texts.
constexpr bool IsBlankOrControl(QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7F; }
// Text without leading and trailing blanks and control characters (line breaks included).
QString TrimBlanksAndControls(QStringView text);

// The time of day (through the clock seam) as "hh:nn:ss:zzz " with 24 hours and the
// locale's time separator in place of each colon: 13 characters, the prefix of every line
// of the window's message log.
QString LogTimeStamp();

// A duration in minutes as text. Mode 0: "1 day, 2 hours, 5.5 minutes" (all three parts,
// minutes with their fraction). Mode 1: "1d 2h 5m 30s" (only the parts above zero, seconds
// rounded half to even; 0 gives an empty text). Any other mode gives an empty text.
QString TimeText(int mode, double minutes);

// The segment programs of several devices side by side on one time axis. Line 1 of list is
// the display time unit letter ("m", "h" or "d"), line 2 the minutes per display unit in the
// user's locale, every further line one device as "port|type name|program". Points are
// grouped by whole second; a device with no point at a line's time gets an empty cell. When
// two points of one device fall on the same second the later one is shown. Returns one of
// "No segment programs to format", "Time unit name not provided" or "Time conversion factor
// not provided" instead of a table when the list lacks what the table needs.
QString MergedSegmentTable(const QStringList& list);
