#pragma once
// Reading the mixture reports of the mixture pages in tests.
#include <QString>
#include <QStringList>

// The report lines of a component, found by its name in the first column (CR LF or LF lines).
inline QStringList ComponentLines(const QString& report, const QString& name)
{
    QString lines = report;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList found;
    for (const QString& line : lines.split(u'\n'))
        if (line.left(10).trimmed() == name)
            found << line;
    return found;
}
