#include "ui/TextLinesView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

TextLinesView::TextLinesView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TextLinesView::LinesChanged(qsizetype appended, qsizetype dropped, qsizetype widest)
{
    fLongestLine = std::max(fLongestLine, widest);
    const qsizetype firstBefore = FirstVisibleLine();
    UpdateScrollBars();
    // Lines dropped from the front move the lines in view up; keep showing the same lines.
    if (dropped > 0)
        verticalScrollBar()->setValue(int(std::max<qsizetype>(0, firstBefore - dropped)));
    // New lines below the view need no painting.
    if (dropped > 0 || LineCount() - appended < FirstVisibleLine() + VisibleLines())
        viewport()->update();
}

void TextLinesView::LinesCleared()
{
    fLongestLine = 0;
    UpdateScrollBars();
    viewport()->update();
}

void TextLinesView::ScrollToLastLine()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

qsizetype TextLinesView::FirstVisibleLine() const
{
    return verticalScrollBar()->value();
}

int TextLinesView::VisibleLines() const
{
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

void TextLinesView::UpdateScrollBars()
{
    const int lines = int(std::min<qsizetype>(LineCount(), INT_MAX));
    const int visible = VisibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, lines - visible));
    vertical->setPageStep(visible);
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
    const qsizetype textWidth = std::min<qsizetype>(fLongestLine * charWidth + 4, INT_MAX);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, int(textWidth) - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(charWidth);
}

void TextLinesView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const qsizetype first = FirstVisibleLine();
    const qsizetype last = std::min(LineCount(), first + VisibleLines() + 1);
    const int x = 2 - horizontalScrollBar()->value();
    for (qsizetype i = first; i < last; ++i)
        painter.drawText(x, int(i - first) * lineHeight + metrics.ascent(), Line(i));
}

void TextLinesView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TextLinesView::CopyAll() const
{
    QApplication::clipboard()->setText(Text());
}

void TextLinesView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("Copy all")), &QAction::triggered, this, &TextLinesView::CopyAll);
    menu.exec(event->globalPos());
}

void TextLinesView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        CopyAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
