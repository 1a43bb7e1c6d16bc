#pragma once
// The "Designer" tab page: the mixture that the selected devices make together, at a moment
// of their programs or at flows set by hand, one row per device in a scroll box.
#include <QWidget>

class QGroupBox;
class QScrollArea;

class DesignerPage : public QWidget {
    Q_OBJECT
public:
    explicit DesignerPage(QWidget* parent = nullptr);

    // "Time, " and the letter of the displayed time unit on the time group.
    void SetTimeUnitLetter(const QString& letter);
    // Sizes the device rows' panel to the scroll box's width less a vertical scroll bar.
    void SizeFlowPanel();

    QGroupBox* MixDesignGroupBox = nullptr;
    QScrollArea* ScrollBoxFlow = nullptr;
    QWidget* FlowPanelControls = nullptr;
};
