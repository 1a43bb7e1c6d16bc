#include "ui/MessageLog.h"

#include <QRegularExpression>
#include <algorithm>

MessageLog::MessageLog(TimeStampFunction timeStamp, QWidget* parent, int maximumLines)
    : TextLinesView(parent)
    , fTimeStamp(std::move(timeStamp))
    , fMaximumLines(std::max(1, maximumLines))
{
}

void MessageLog::SetLineSink(LineSink sink, const QString& keptIn)
{
    fSink = std::move(sink);
    fKeptIn = keptIn;
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
        if (fSink)
            fSink(line);
    };
    if (lines.contains(u'\n') || lines.contains(u'\r')) {
        for (const QString& line : lines.split(lineBreak))
            add(line);
    } else {
        add(lines);
    }
    // Once lines are dropped, the first line of the view tells of them and takes one place.
    qsizetype dropped = 0;
    const bool wasDropping = fDropped > 0;
    if (wasDropping || qsizetype(fLines.size()) > fMaximumLines) {
        const qsizetype kept = std::max<qsizetype>(1, fMaximumLines - 1);
        while (qsizetype(fLines.size()) > kept) {
            fLines.pop_front();
            ++dropped;
        }
        fDropped += dropped;
    }
    // As the view sees it, the first time the telling line stands in for one dropped line.
    LinesChanged(appended, wasDropping || dropped == 0 ? dropped : dropped - 1, widest);
    if (dropped > 0)
        viewport()->update();
    ScrollToLastLine();
}

QString MessageLog::DroppedLine() const
{
    QString line = QString::number(fDropped) + QStringLiteral(" earlier lines are no longer shown here");
    if (!fKeptIn.isEmpty())
        line += QStringLiteral("; every line of this run is in ") + fKeptIn;
    return line;
}

void MessageLog::Clear()
{
    fLines.clear();
    fDropped = 0;
    LinesCleared();
}

QString MessageLog::Line(qsizetype index) const
{
    if (fDropped > 0) {
        if (index == 0)
            return DroppedLine();
        --index;
    }
    return index >= 0 && index < qsizetype(fLines.size()) ? fLines[std::size_t(index)] : QString();
}

QString MessageLog::Text() const
{
    QStringList all;
    all.reserve(LineCount());
    if (fDropped > 0)
        all << DroppedLine();
    for (const QString& line : fLines)
        all << line;
    return all.join(u'\n');
}
