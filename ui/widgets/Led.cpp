#include "ui/widgets/Led.h"

#include <QPainter>

Led::Led(QWidget* parent)
    : QWidget(parent)
{
    SetLedSize(16);
}

void Led::SetOn(bool on)
{
    if (on == fOn)
        return;
    fOn = on;
    Refresh();
}

void Led::SetOnColor(const QColor& color)
{
    fOnColor = color;
    Refresh();
}

void Led::SetOffColor(const QColor& color)
{
    fOffColor = color;
    Refresh();
}

void Led::SetShape(TShape shape)
{
    fShape = shape;
    Refresh();
}

void Led::SetBorder(bool border)
{
    fBorder = border;
    Refresh();
}

void Led::SetLedSize(int pixels)
{
    setFixedSize(pixels, pixels);
}

void Led::Refresh()
{
    if (isVisible())
        repaint();
}

void Led::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, fShape == TShape::Round);
    const QColor color = fOn ? fOnColor : fOffColor;
    painter.setPen(fBorder ? QPen(color.darker(200), 1) : QPen(Qt::NoPen));
    painter.setBrush(color);
    const QRectF area = fBorder ? QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(rect());
    if (fShape == TShape::Round)
        painter.drawEllipse(area);
    else
        painter.drawRect(area);
}
