#include "ui/widgets/RichTextLabel.h"

RichTextLabel::RichTextLabel(QWidget* parent)
    : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setUndoRedoEnabled(false);
}

void RichTextLabel::SetRichText(const QString& html)
{
    if (html == fRichText)
        return;
    fRichText = html;
    setHtml(html);
}

QString RichTextLabel::PlainText() const
{
    return toPlainText();
}
