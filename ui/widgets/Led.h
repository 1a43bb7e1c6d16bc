#pragma once
// An LED indicator for the status strip: a lamp of fixed size, lit in its "on" colour or
// dark in its "off" colour (a device's LED shows the device colour when off).
#include <QColor>
#include <QWidget>

class Led : public QWidget {
    Q_OBJECT
public:
    enum class TShape { Round, Square };

    explicit Led(QWidget* parent = nullptr);

    // Switching paints at once: the engine tick lights an LED only while it works, without
    // returning to the event loop in between, so a deferred paint would never show it.
    void SetOn(bool on);
    bool IsOn() const { return fOn; }

    void SetOnColor(const QColor& color);
    QColor OnColor() const { return fOnColor; }
    void SetOffColor(const QColor& color);
    QColor OffColor() const { return fOffColor; }
    void SetShape(TShape shape);
    TShape Shape() const { return fShape; }
    void SetBorder(bool border);
    bool HasBorder() const { return fBorder; }
    // Width and height in pixels; the LED keeps this size.
    void SetLedSize(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Refresh();

    bool fOn = false;
    QColor fOnColor{0, 255, 0};
    QColor fOffColor{192, 192, 192};
    TShape fShape = TShape::Square;
    bool fBorder = false;
};
