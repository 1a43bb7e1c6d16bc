#include "core/TextTables.h"

namespace {
QString FirstCommaToPoint(QString text)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    return text;
}
}

QString PadRight(const QString& text, int n)
{
    if (n <= 0)
        return {};
    return FirstCommaToPoint((text + QString(n, u' ')).left(n));
}

QString PadLeft(const QString& text, int n, bool commaToPoint)
{
    if (n <= 0)
        return {};
    const QString padded = (QString(n, u' ') + text).right(n);
    return commaToPoint ? FirstCommaToPoint(padded) : padded;
}

QString NthField(const QString& text, QChar separator, int n)
{
    if (n < 1)
        return {};
    const QStringList fields = text.split(separator);
    return n <= fields.size() ? fields[n - 1] : QString();
}
