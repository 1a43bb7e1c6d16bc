#include "ui/LedStrip.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int Pitch = 18;
constexpr int Top = 2;
constexpr int Size = 16;
const QColor OffColor(192, 192, 192);
const QColor OnColor(0, 255, 0);
}

int DpiScaling(double logicalDpiX)
{
    // nearbyint rounds halves to even in the default rounding mode.
    const double scale = std::nearbyint(logicalDpiX / 96.0);
    return std::isfinite(scale) ? std::max(1, int(scale)) : 1;
}

LedStrip::LedStrip(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(Height);
}

DeviceLed* LedStrip::AddLedForThread(int scale)
{
    const int k = LedCount();
    auto* led = new DeviceLed(this);
    led->hide();
    led->move(Pitch * k * scale, Top * scale);
    led->SetBorder(false);
    led->show();
    led->SetShape(Led::TShape::Square);
    // A square without border covers its whole area: nothing beneath it needs painting when
    // the tick switches it, which it does several times a tick.
    led->setAttribute(Qt::WA_OpaquePaintEvent);
    led->SetLedSize(Size * scale);
    led->SetOffColor(OffColor);
    led->SetOnColor(OnColor);
    setFixedHeight(std::max(Height, (Top + Size) * scale));
    updateGeometry();
    return led;
}

int LedStrip::LedCount() const
{
    return int(findChildren<Led*>(Qt::FindDirectChildrenOnly).size());
}

QSize LedStrip::sizeHint() const
{
    int right = 0;
    for (const Led* led : findChildren<Led*>(Qt::FindDirectChildrenOnly))
        right = std::max(right, led->geometry().right() + 1);
    return {right, height()};
}
