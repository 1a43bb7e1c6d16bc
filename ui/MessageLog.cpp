#include "ui/MessageLog.h"

#include <QScrollBar>
#include <algorithm>

MessageLog::MessageLog(TimeStampFunction timeStamp, QWidget* parent, int maximumLines)
    : QPlainTextEdit(parent)
    , fTimeStamp(std::move(timeStamp))
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setMaximumBlockCount(std::max(1, maximumLines));
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

void MessageLog::AppendLines(QString lines)
{
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    appendPlainText(lines);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

QString MessageLog::Text() const
{
    return toPlainText();
}
