#include "ui/SegmentTableView.h"

#include "core/NumberText.h"
#include "core/TextTables.h"

#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

QString MergeSegments(bool showSegmentPrograms, const QString& timeUnitLetter, double timeFactor,
                      const std::vector<TDeviceInfo>& selectedDevices)
{
    if (!showSegmentPrograms || selectedDevices.empty())
        return {};
    QStringList list{timeUnitLetter, FloatToStr(timeFactor)};
    for (const TDeviceInfo& device : selectedDevices)
        list << device.COMPort + u'|' + DeviceTypeName(device.DevType) + u'|' + device.SegmentProgram;
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral(" Segment programs ") + lineBreak + QString(28 + 17 * int(selectedDevices.size()), u'=')
           + lineBreak + MergedSegmentTable(list) + lineBreak;
}

SegmentTableView::SegmentTableView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
}

void SegmentTableView::ShowText(const QString& text)
{
    const QTextCursor before = textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    const int firstVisible = verticalScrollBar()->value();

    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);

    const int end = std::max(0, int(document()->characterCount()) - 1);
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(anchor, 0, end));
    cursor.setPosition(std::clamp(position, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    verticalScrollBar()->setValue(firstVisible);
}
