#pragma once
// Read-only rich-text area (the help tips): shows Qt rich text, scrolls when it overflows.
#include <QTextBrowser>

class RichTextLabel : public QTextBrowser {
    Q_OBJECT
public:
    explicit RichTextLabel(QWidget* parent = nullptr);

    // Shows the text. Setting the text already shown does nothing, so the hover handler may
    // call this on every mouse move without resetting the scroll position.
    void SetRichText(const QString& html);
    QString RichText() const { return fRichText; }
    QString PlainText() const;

private:
    QString fRichText;
};
