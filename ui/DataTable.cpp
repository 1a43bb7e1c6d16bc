#include "ui/DataTable.h"

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

namespace {
const QByteArray LineEnd("\r\n");

bool HasNonBlank(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}
}

DataTable::DataTable(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void DataTable::AppendLine(const QString& line)
{
    const QByteArray bytes = line.toLatin1();
    const qsizetype needed = bytes.size() + LineEnd.size();
    if (fBlocks.empty() || (fBlocks.back().size() > 0 && fBlocks.back().size() + needed > BlockCapacity)) {
        fBlocks.emplace_back();
        fBlocks.back().reserve(std::max(BlockCapacity, needed));
    }
    QByteArray& block = fBlocks.back();
    fLines.push_back({std::uint32_t(fBlocks.size() - 1), std::uint32_t(block.size()), std::uint32_t(bytes.size())});
    block.append(bytes);
    block.append(LineEnd);
    fLongestLine = std::max(fLongestLine, std::uint32_t(bytes.size()));
    fHasText = fHasText || HasNonBlank(bytes);
    UpdateScrollBars();
    // Only a new line inside the view needs painting.
    if (qsizetype(fLines.size()) - 1 < FirstVisibleLine() + VisibleLines())
        viewport()->update();
}

void DataTable::Clear()
{
    std::vector<QByteArray>().swap(fBlocks);
    std::vector<TLine>().swap(fLines);
    fLongestLine = 0;
    fHasText = false;
    UpdateScrollBars();
    viewport()->update();
}

QString DataTable::Line(qsizetype index) const
{
    if (index < 0 || index >= LineCount())
        return {};
    const TLine& line = fLines[std::size_t(index)];
    return QString::fromLatin1(fBlocks[line.Block].constData() + line.Offset, line.Length);
}

QString DataTable::Text() const
{
    QByteArray all;
    for (const QByteArray& block : fBlocks)
        all.append(block);
    return QString::fromLatin1(all);
}

void DataTable::ScrollToLastLine()
{
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

qsizetype DataTable::FirstVisibleLine() const
{
    return verticalScrollBar()->value();
}

int DataTable::VisibleLines() const
{
    return std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
}

void DataTable::UpdateScrollBars()
{
    const int lines = int(std::min<qsizetype>(LineCount(), INT_MAX));
    const int visible = VisibleLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, lines - visible));
    vertical->setPageStep(visible);
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, int(fLongestLine) * charWidth - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(charWidth);
}

void DataTable::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const qsizetype first = FirstVisibleLine();
    const qsizetype last = std::min(LineCount(), first + VisibleLines() + 1);
    const int x = -horizontalScrollBar()->value() + 2;
    for (qsizetype i = first; i < last; ++i)
        painter.drawText(x, int(i - first) * lineHeight + metrics.ascent(), Line(i));
}

void DataTable::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void DataTable::CopyAll() const
{
    QApplication::clipboard()->setText(Text());
}

void DataTable::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("Copy table")), &QAction::triggered, this, &DataTable::CopyAll);
    menu.exec(event->globalPos());
}

void DataTable::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        CopyAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
