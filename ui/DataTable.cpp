#include "ui/DataTable.h"

#include <algorithm>

namespace {
const QByteArray LineEnd("\r\n");

bool HasNonBlank(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}
}

DataTable::DataTable(QWidget* parent)
    : TextLinesView(parent)
{
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
    fHasText = fHasText || HasNonBlank(bytes);
    LinesChanged(1, 0, bytes.size());
}

void DataTable::Clear()
{
    std::vector<QByteArray>().swap(fBlocks);
    std::vector<TLine>().swap(fLines);
    fHasText = false;
    LinesCleared();
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
