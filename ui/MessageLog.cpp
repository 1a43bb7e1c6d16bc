#include "ui/MessageLog.h"

#include <QRegularExpression>
#include <algorithm>

MessageLog::MessageLog(TimeStampFunction timeStamp, QWidget* parent, int maximumLines)
    : TextLinesView(parent)
    , fTimeStamp(std::move(timeStamp))
    , fMaximumLines(std::max(1, maximumLines))
{
}

void MessageLog::MM(const QString& aMessage)
{
    AppendLines(fTimeStamp() + aMessage);
}

void MessageLog::AppendText(const QString& text)
{
    QString lines = text;
    if (lines.endsWith(u'\n') || lines.endsWith(u'\r'))
        lines.chop(lines.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    AppendLines(lines);
}

void MessageLog::AppendLines(const QString& lines)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    qsizetype appended = 0;
    qsizetype widest = 0;
    const auto add = [&](const QString& line) {
        widest = std::max(widest, line.size());
        fLines.push_back(line);
        ++appended;
    };
    if (lines.contains(u'\n') || lines.contains(u'\r')) {
        for (const QString& line : lines.split(lineBreak))
            add(line);
    } else {
        add(lines);
    }
    qsizetype dropped = 0;
    while (qsizetype(fLines.size()) > fMaximumLines) {
        fLines.pop_front();
        ++dropped;
    }
    LinesChanged(appended, dropped, widest);
    ScrollToLastLine();
}

void MessageLog::Clear()
{
    fLines.clear();
    LinesCleared();
}

QString MessageLog::Line(qsizetype index) const
{
    return index >= 0 && index < LineCount() ? fLines[std::size_t(index)] : QString();
}

QString MessageLog::Text() const
{
    QStringList all;
    all.reserve(LineCount());
    for (const QString& line : fLines)
        all << line;
    return all.join(u'\n');
}
