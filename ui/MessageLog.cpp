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
    QString line = fTimeStamp() + aMessage;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(u'\r', u'\n');
    appendPlainText(line);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

QString MessageLog::Text() const
{
    return toPlainText();
}
