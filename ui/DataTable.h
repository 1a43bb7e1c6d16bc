#pragma once
// The data table: the text table of the readings, one line per data row, that the flow logs
// copy. It only ever grows by whole lines (a device search empties it). The lines are kept as
// 8-bit text with their CR LF, in blocks that are never changed once full, so adding a line
// costs the same after a week as at the start and a flow log can take a copy of the whole
// table without copying the text.
#include "ui/TextLinesView.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

class DataTable : public TextLinesView {
    Q_OBJECT
public:
    // The table's text in blocks; together they are the table, every line ending in CR LF.
    using TSnapshot = std::vector<QByteArray>;

    explicit DataTable(QWidget* parent = nullptr);

    // Appends one line (without its line break); characters outside 8-bit text become "?".
    void AppendLine(const QString& line);
    void Clear();

    qsizetype LineCount() const override { return qsizetype(fLines.size()); }
    QString Line(qsizetype index) const override;
    // The whole table, lines separated by CR LF and the last one ended by it.
    QString Text() const override;
    // True when the table holds something besides blanks and line breaks.
    bool HasText() const { return fHasText; }
    TSnapshot Snapshot() const { return fBlocks; }

    static constexpr qsizetype BlockCapacity = 256 * 1024;

private:
    struct TLine {
        std::uint32_t Block = 0;
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0; // without CR LF
    };

    std::vector<QByteArray> fBlocks;
    std::vector<TLine> fLines;
    bool fHasText = false;
};
