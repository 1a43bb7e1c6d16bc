#pragma once
// The device list: one row per instrument, identified by its caption, the device's COM port.
// Whole rows are selected, several at a time; the focused row carries a solid diamond, every
// other selected row a hollow one.
#include "devices/DeviceInfo.h"

#include <QStringList>
#include <QTreeWidget>

class DeviceListView : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { ColPort, ColState, ColInstrument, ColDevice, ColNameRole };

    explicit DeviceListView(QWidget* parent = nullptr);

    // Adds the row of the device with the state "Unknown", in the order of RowLess.
    void AddDeviceRow(const TDeviceInfo& device);
    void MarkAllRowsUnknown();
    // The row refresh when a device's details are shown: state, device (with the gas short
    // name for the four real controller types) and name or role.
    void RefreshRow(const TDeviceInfo& device);
    // The state column alone (the engine tick, for what the workers report).
    void RefreshState(const TDeviceInfo& device);

    // The caption of the focused row; empty when no row is focused.
    QString FocusedPort() const;
    // Captions of the selected rows, in list order.
    QStringList SelectedPorts() const;
    // Every row as (caption, selected), in list order.
    struct TRow {
        QString Port;
        bool Selected = false;
    };
    QList<TRow> Rows() const;

    // Puts the marks on the rows: solid diamond on the focused row, hollow on the others
    // selected.
    void UpdateMarks();
    // "◆", "◇" or "" for the row with this caption.
    QString RowMark(const QString& port) const;
    QTreeWidgetItem* RowOfPort(const QString& port) const;

    // The row order of the device search: by the "Device" column ignoring letter case, in the
    // user's locale.
    static bool RowLess(const QTreeWidgetItem& a, const QTreeWidgetItem& b);

    // The "State" column text of a device: "Unknown" without a worker, the lost
    // communication's state ("No reply", …) while its worker reports one, else the condition
    // its worker reports, else its control mode.
    static QString StateText(const TDeviceInfo& device);

signals:
    // A key was released in the list.
    void KeyReleased();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    // The list does not make a row current just because it receives the focus: at start
    // nothing is focused.
    void focusInEvent(QFocusEvent* event) override;
};
