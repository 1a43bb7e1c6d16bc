#pragma once
// A read-only view of many lines of text in a fixed-pitch font (the message log, the data
// table). It paints only the lines in view, so a view of a hundred thousand lines costs no
// more to add to or to draw than one of ten. The subclass keeps the lines. The whole text can
// be copied (Ctrl+C or the context menu).
#include <QAbstractScrollArea>

class TextLinesView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TextLinesView(QWidget* parent = nullptr);

    virtual qsizetype LineCount() const = 0;
    virtual QString Line(qsizetype index) const = 0;
    // The whole text as it is copied.
    virtual QString Text() const = 0;

    // Shows the last line at the bottom of the view.
    void ScrollToLastLine();
    // Index of the first line in view.
    qsizetype FirstVisibleLine() const;

protected:
    // To be called after lines were appended (appended > 0) or removed from the front
    // (dropped > 0); widest is the length of the longest line added.
    void LinesChanged(qsizetype appended, qsizetype dropped, qsizetype widest);
    // To be called after every line was removed.
    void LinesCleared();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateScrollBars();
    int VisibleLines() const;
    void CopyAll() const;

    qsizetype fLongestLine = 0; // characters; only grows until cleared
};
