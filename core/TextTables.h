#pragma once
// Helpers for the fixed-width text tables the program shows: cells padded to a width and
// followed by " | ", rule lines of "-" and "+-".
#include <QChar>
#include <QStringList>
#include <QString>

// Text followed by n blanks, cut to its first n characters; the first comma becomes a point.
QString PadRight(const QString& text, int n);
// n blanks followed by text, cut to its last n characters; with commaToPoint the first comma
// becomes a point.
QString PadLeft(const QString& text, int n, bool commaToPoint = false);
// Field n (from 1) of text split at every separator; empty when there is no such field.
QString NthField(const QString& text, QChar separator, int n);
