#pragma once
// The strip of LED indicators along the bottom of the window: the engine's LED first, then
// one per configured device. LEDs stand side by side at fixed places counted from the number
// already on the strip, so a freed LED leaves its place to the next one created.
#include "devices/DeviceInfo.h"
#include "ui/widgets/Led.h"

#include <QWidget>

// A device's LED: the record holds it as a TDeviceLed and the shut-down frees it through
// that pointer.
class DeviceLed : public Led, public TDeviceLed {
    Q_OBJECT
public:
    using Led::Led;
};

// Pixels per logical inch divided by 96, rounded to the nearest whole number (halves to
// even), at least 1 so that nothing is drawn at size 0.
int DpiScaling(double logicalDpiX);

class LedStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 20;

    explicit LedStrip(QWidget* parent = nullptr);

    // Creates the next LED at left 18·k·scale, top 2·scale (k the LEDs on the strip), square,
    // 16·scale wide, without border or blinking, silver when off and green when on.
    DeviceLed* AddLedForThread(int scale);
    int LedCount() const;

    QSize sizeHint() const override;
};
