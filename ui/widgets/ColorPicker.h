#pragma once
// Colour picker: a drop-down of the standard colours, each with its swatch and a tooltip
// giving its value, and a last entry "Custom..." that asks for any colour, transparency
// included. A colour set from outside that is not in the list is added as a custom entry.
#include <QColor>
#include <QComboBox>
#include <optional>

class ColorPicker : public QComboBox {
    Q_OBJECT
public:
    explicit ColorPicker(QWidget* parent = nullptr);

    QColor Color() const { return fColor; }
    // Selects the colour (alpha kept); emits ColorChanged when it differs from the current one.
    void SetColor(const QColor& color);

signals:
    void ColorChanged(const QColor& color);

protected:
    // Asks the operator for a colour, offering transparency; nothing when cancelled.
    virtual std::optional<QColor> AskColor(const QColor& initial);

private:
    void ItemActivated(int index);
    int IndexOfColor(const QColor& color) const;
    void InsertColorItem(int position, const QColor& color, const QString& name);

    QColor fColor;
    int fCustomEntry = 0; // index of "Custom..."
};
