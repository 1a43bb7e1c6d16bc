#pragma once
// The data table: the text table of the readings, one line per data row, that the flow logs
// copy. It only ever grows by whole lines (a device search empties it). The lines are kept as
// 8-bit text with their CR LF, in blocks that are never changed once full, so adding a line
// costs the same after a week as at the start and a flow log can take a copy of the whole
// table without copying the text. Only the lines in view are drawn.
#include <QAbstractScrollArea>
#include <QByteArray>
#include <cstdint>
#include <vector>

class DataTable : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The table's text in blocks; together they are the table, every line ending in CR LF.
    using TSnapshot = std::vector<QByteArray>;

    explicit DataTable(QWidget* parent = nullptr);

    // Appends one line (without its line break); characters outside 8-bit text become "?".
    void AppendLine(const QString& line);
    void Clear();

    qsizetype LineCount() const { return qsizetype(fLines.size()); }
    QString Line(qsizetype index) const;
    // The whole table, lines separated by CR LF and the last one ended by it.
    QString Text() const;
    // True when the table holds something besides blanks and line breaks.
    bool HasText() const { return fHasText; }
    TSnapshot Snapshot() const { return fBlocks; }

    // Shows the last line at the bottom of the view.
    void ScrollToLastLine();
    // Index of the first line in view.
    qsizetype FirstVisibleLine() const;

    static constexpr qsizetype BlockCapacity = 256 * 1024;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TLine {
        std::uint32_t Block = 0;
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0; // without CR LF
    };

    void UpdateScrollBars();
    int VisibleLines() const;
    void CopyAll() const;

    std::vector<QByteArray> fBlocks;
    std::vector<TLine> fLines;
    std::uint32_t fLongestLine = 0;
    bool fHasText = false;
};
