#pragma once
// Numbers as text. Numbers stored in texts (segment programs, recipes, instrument replies)
// always use a point; numbers shown to the operator use the user's locale (QLocale()).
#include <QString>

// Formats value by a pattern: "0" a required digit, "#" an optional digit, "." the decimal
// point (shown as the locale's separator); any other character is a literal that the digits
// flow around: "0.000 000" turns 0.21 into 0.210 000, "# ### ###" turns 1234567 into
// 1 234 567. A literal is written only between digits that are written, so optional places
// leave no stray blanks. Rounds half away from zero on the decimal digits.
QString FormatFloat(const QString& pattern, double value);

// The shortest general decimal form with up to 15 significant digits, in the user's locale
// (exponent form for very large or very small magnitudes, e.g. 1E-5). Every finite value is
// written so that it reads back: next to the largest doubles, where fifteen digits would round
// past them, 17 digits are written.
QString FloatToStr(double value);
// The same form with a point whatever the locale, as stored texts (segment programs) hold it.
QString FloatToStrDot(double value);

// Reads a decimal number written with a point, whatever the locale; blanks around it are
// ignored. Throws ConvertError ("'x' is not a valid floating point value") otherwise.
double StrToFloatDot(const QString& text);

// As StrToFloatDot, without throwing: false when text is not a number.
bool TryStrToFloatDot(const QString& text, double& value);

// Reads a number written with either a comma or a point as decimal separator.
double StrToFloatAnySep(const QString& text);

// Reads a number written in the user's locale (its decimal separator, no grouping).
bool TryStrToFloatLocale(const QString& text, double& value);
