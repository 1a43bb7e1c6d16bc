#pragma once
// Lets test failures show a QString as text (CR and LF made visible) instead of raw bytes.
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    QString visible = text;
    visible.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n\n"));
    *out << '"' << visible.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{';
    for (const QString& text : texts) {
        *out << ' ';
        PrintTo(text, out);
    }
    *out << " }";
}
