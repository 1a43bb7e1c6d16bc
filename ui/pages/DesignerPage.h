#pragma once
// The "Designer" tab page: the mixture that the selected devices make together, at a moment
// of their programs or at flows set by hand, one row per device in a scroll box. The rows
// follow the device list's selection (MixMakerComponentSetup); the time marks its moment on
// the chart.
#include "core/MixtureReports.h"
#include "ui/pages/MixDesign.h"

#include <QWidget>
#include <vector>

class DeviceListView;
class HumidityTargetPanel;
class FlowChart;
class NumberBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSlider;

class DesignerPage : public QWidget {
    Q_OBJECT
public:
    DesignerPage(const DeviceListView& Devices, FlowChart& Chart, QWidget* parent = nullptr);

    // "Time, " and the letter of the displayed time unit on the time group; the time box and
    // slider count in that unit (Factor minutes per unit) and keep standing at the same minute.
    void SetTimeUnit(const QString& Letter, double Factor);

    // Rebuilds one row per selected device, in list order, and widens the time slider to the
    // longest of their programs.
    void MixMakerComponentSetup();
    // The time slider moved: the time box follows (unless the operator is typing in it).
    void TrackBarDesignerTimeChange();
    // The time changed: marks it on the chart, puts every row at its program's flow then and
    // shows the mixture.
    void RtDoubleEditDesignMixTimeValueChanged();
    // A typed time moves the time slider, widening it when the time lies beyond its end.
    void RtDoubleEditDesignMixTimeKeyUp();
    // A row's slider or number box changed: the other one follows and the mixture is shown
    // again. Without a sender nothing happens.
    void DesignerChange(QWidget* Sender);
    // A typed row flow below a ten-thousandth of its maximum snaps to 0 or to that amount.
    void RtDoubleEditDynamicKeyUp(NumberBox* Sender);
    // Shows the mixture of the rows; Caller only names the occasion in the diagnostic log.
    void ShowNewMix(const QString& Caller);
    // Works the humidity target out for the chosen pump with the rows' gas flows; puts that
    // pump's row at the setpoint and shows the mixture, or shows why not and changes nothing.
    void HumidityTargetSetPump();

    // The rows' ports and flows, top to bottom.
    std::vector<TDesignerRow> DesignerRows() const;

    // The time now chosen, in minutes.
    double TimeMinutes() const;
    // The row controls of a device; nullptr when it has no row.
    QSlider* RowSlider(const QString& Port) const;
    NumberBox* RowFlowBox(const QString& Port) const;
    // The device rows (group boxes), top to bottom.
    QList<QGroupBox*> Rows() const;

    QGroupBox* MixDesignGroupBox = nullptr;
    QSlider* TrackBarDesignerTime = nullptr;
    NumberBox* RtDoubleEditDesignMixTime = nullptr;
    QLabel* LabelDeviceFlows = nullptr;
    QScrollArea* ScrollBoxFlow = nullptr;
    QWidget* FlowPanelControls = nullptr;
    QPlainTextEdit* MemoMixDesigner = nullptr;
    QPushButton* BitBtnDesignerApply = nullptr;
    HumidityTargetPanel* HumidityTarget = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddDeviceRow(const QString& Port, const QString& Caption, double FullScale);
    // The time slider's range for the longest program of the last rebuild.
    void FitTimeSlider();
    void SetTimeMaximum(int Maximum);

    const DeviceListView& fDevices;
    FlowChart& fChart;
    double fTimeFactor = 1;
    double fLongestProgram_min = 0;
    // The condition of the last relative-humidity target set, reported with the mixture.
    TReportConditions fTargetConditions;
};
