#pragma once
// The "Tools" tab page: maintenance actions on one instrument at a time (initialising a
// controller, priming a pump, changing a pump's syringe), run on the window's thread while
// the window is locked.
#include "devices/DeviceInfo.h"

#include <QWidget>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class RichTextLabel;
class TInstrumentToolsWindow;

class ToolsPage : public QWidget {
    Q_OBJECT
public:
    // A copy of the device focused in the device list; none without one.
    using SelectedDeviceFunction = std::function<std::optional<TDeviceInfo>()>;

    ToolsPage(SelectedDeviceFunction SelectedDevice, TInstrumentToolsWindow& Window, QWidget* parent = nullptr);

    void ButtonDeviceInitializeClick();
    void ButtonPrimePumpClick();
    void ButtonChangeSyringeClick();

    QPushButton* BitBtn11 = nullptr; // "Initialize selected device"
    QGroupBox* GroupBoxDeviceTools = nullptr;
    QLabel* Label9 = nullptr;
    QSpinBox* RtIntegerEditPrimePumpLoops = nullptr;
    QPushButton* BitBtn10 = nullptr; // "Start pump priming loops"
    QPushButton* BitBtn9 = nullptr;  // "Change pump syringe"
    RichTextLabel* Notice = nullptr;

private:
    SelectedDeviceFunction fSelectedDevice;
    TInstrumentToolsWindow& fWindow;
};
