#include "ui/widgets/ColorPicker.h"

#include "core/ColorNames.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

// The colour over a chequered ground, so that transparency shows.
QIcon Swatch(const QColor& color)
{
    const int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    for (int y = 0; y < size; y += 4)
        for (int x = (y / 4 % 2) * 4; x < size; x += 8)
            painter.fillRect(x, y, 4, 4, Qt::lightGray);
    painter.fillRect(pixmap.rect(), color);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, size - 1, size - 1);
    return QIcon(pixmap);
}

QString Description(const QColor& color, const QString& name)
{
    const QString value = color.name(QColor::HexRgb).toUpper();
    if (color.alpha() == 255)
        return QStringLiteral("%1: %2, opaque").arg(name, value);
    return QStringLiteral("%1: %2, alpha %3 of 255 (%4 % transparent)")
        .arg(name, value)
        .arg(color.alpha())
        .arg(qRound((255 - color.alpha()) * 100.0 / 255));
}

} // namespace

ColorPicker::ColorPicker(QWidget* parent)
    : QComboBox(parent)
{
    for (const StandardColor& standard : StandardColors())
        InsertColorItem(count(), QColor::fromRgba(standard.Value), QString::fromLatin1(standard.Name));
    addItem(QStringLiteral("Custom..."));
    setItemData(count() - 1, QStringLiteral("Choose any colour, with transparency"), Qt::ToolTipRole);
    fCustomEntry = count() - 1;
    fColor = QColor::fromRgba(StandardColors().front().Value);
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &ColorPicker::ItemActivated);
}

void ColorPicker::SetColor(const QColor& color)
{
    if (!color.isValid())
        return;
    int index = IndexOfColor(color);
    if (index < 0) {
        index = fCustomEntry;
        InsertColorItem(index, color, QStringLiteral("Custom %1").arg(color.name(QColor::HexArgb).toUpper()));
        ++fCustomEntry;
    }
    setCurrentIndex(index);
    if (color.rgba() == fColor.rgba())
        return;
    fColor = color;
    emit ColorChanged(fColor);
}

std::optional<QColor> ColorPicker::AskColor(const QColor& initial)
{
    const QColor chosen =
        QColorDialog::getColor(initial, this, QStringLiteral("Device colour"), QColorDialog::ShowAlphaChannel);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void ColorPicker::ItemActivated(int index)
{
    if (index != fCustomEntry) {
        SetColor(itemData(index).value<QColor>());
        return;
    }
    // Back on the current colour first: a cancelled dialog leaves the choice as it was.
    setCurrentIndex(IndexOfColor(fColor));
    if (const auto chosen = AskColor(fColor))
        SetColor(*chosen);
}

int ColorPicker::IndexOfColor(const QColor& color) const
{
    for (int i = 0; i < fCustomEntry; ++i)
        if (itemData(i).value<QColor>().rgba() == color.rgba())
            return i;
    return -1;
}

void ColorPicker::InsertColorItem(int position, const QColor& color, const QString& name)
{
    insertItem(position, Swatch(color), name, color);
    setItemData(position, Description(color, name), Qt::ToolTipRole);
}
