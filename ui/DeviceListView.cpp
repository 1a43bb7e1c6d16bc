#include "ui/DeviceListView.h"

#include "core/GasItem.h"
#include "core/GasTable.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"

#include <QCollator>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

constexpr int MarkRole = Qt::UserRole + 1;
const QString SolidDiamond = QStringLiteral("\u25C6");
const QString HollowDiamond = QStringLiteral("\u25C7");

// The mark drawn in front of a caption; an empty mark keeps the room so captions line up.
QIcon MarkIcon(const QString& mark, const QFont& font)
{
    const int size = 12;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    if (!mark.isEmpty()) {
        QPainter painter(&pixmap);
        QFont glyphFont = font;
        glyphFont.setPixelSize(size);
        painter.setFont(glyphFont);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, mark);
    }
    return QIcon(pixmap);
}

bool IsRealController(tDeviceType type)
{
    return type <= dtMFCD;
}

} // namespace

DeviceListView::DeviceListView(QWidget* parent)
    : QTreeWidget(parent)
{
    setColumnCount(5);
    setHeaderLabels({QStringLiteral("COM port"), QStringLiteral("State"), QStringLiteral("Instrument"),
                     QStringLiteral("Device"), QStringLiteral("Name or role")});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void DeviceListView::AddDeviceRow(const TDeviceInfo& device)
{
    auto* item = new QTreeWidgetItem(QStringList{device.COMPort, QStringLiteral("Unknown"),
                                                 DeviceInstrumentName(device.DevType), DeviceTypeName(device.DevType),
                                                 device.NameRole});
    item->setData(ColPort, MarkRole, QString());
    item->setIcon(ColPort, MarkIcon(QString(), font()));
    int position = topLevelItemCount();
    while (position > 0 && RowLess(*item, *topLevelItem(position - 1)))
        --position;
    insertTopLevelItem(position, item);
}

void DeviceListView::MarkAllRowsUnknown()
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        topLevelItem(i)->setText(ColState, QStringLiteral("Unknown"));
}

QString DeviceListView::StateText(const TDeviceInfo& device)
{
    if (!device.ThreadMFC && !device.ThreadPump)
        return QStringLiteral("Unknown");
    if (device.Communication.State != LinkState::Ok)
        return LinkStateText(device.Communication.State);
    const TWorkerReport& report = device.ThreadMFC ? device.ThreadMFC->GUIIn.Report : device.ThreadPump->GUIIn.Report;
    if (!report.Condition.isEmpty())
        return report.Condition;
    switch (device.ControlMode) {
    case dcmSegment:
        return QStringLiteral("Segment");
    case dcmDirect:
        return QStringLiteral("Direct");
    case dcmIdle:
        break;
    }
    return QStringLiteral("Ready");
}

void DeviceListView::RefreshRow(const TDeviceInfo& device)
{
    QTreeWidgetItem* item = RowOfPort(device.COMPort);
    if (!item)
        return;
    item->setText(ColState, StateText(device));
    if (IsRealController(device.DevType)) {
        TGasItem gas;
        const QString shortName = TryGetGas_ID(device.FluidID, gas) ? gas.NameShort : QStringLiteral("Undefined");
        item->setText(ColDevice, DeviceTypeName(device.DevType) + u':' + shortName);
    }
    item->setText(ColNameRole, device.NameRole);
}

void DeviceListView::RefreshState(const TDeviceInfo& device)
{
    if (QTreeWidgetItem* item = RowOfPort(device.COMPort); item && item->text(ColState) != StateText(device))
        item->setText(ColState, StateText(device));
}

QString DeviceListView::FocusedPort() const
{
    const QTreeWidgetItem* item = currentItem();
    return item ? item->text(ColPort) : QString();
}

QStringList DeviceListView::SelectedPorts() const
{
    QStringList ports;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected())
            ports << topLevelItem(i)->text(ColPort);
    return ports;
}

QList<DeviceListView::TRow> DeviceListView::Rows() const
{
    QList<TRow> rows;
    for (int i = 0; i < topLevelItemCount(); ++i)
        rows.append({topLevelItem(i)->text(ColPort), topLevelItem(i)->isSelected()});
    return rows;
}

void DeviceListView::UpdateMarks()
{
    const QTreeWidgetItem* focused = currentItem();
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        const QString mark = item == focused ? SolidDiamond : item->isSelected() ? HollowDiamond : QString();
        if (item->data(ColPort, MarkRole).toString() == mark)
            continue;
        item->setData(ColPort, MarkRole, mark);
        item->setIcon(ColPort, MarkIcon(mark, font()));
    }
}

QString DeviceListView::RowMark(const QString& port) const
{
    const QTreeWidgetItem* item = RowOfPort(port);
    return item ? item->data(ColPort, MarkRole).toString() : QString();
}

QTreeWidgetItem* DeviceListView::RowOfPort(const QString& port) const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->text(ColPort) == port)
            return topLevelItem(i);
    return nullptr;
}

bool DeviceListView::RowLess(const QTreeWidgetItem& a, const QTreeWidgetItem& b)
{
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a.text(ColDevice), b.text(ColDevice)) < 0;
}

void DeviceListView::keyReleaseEvent(QKeyEvent* event)
{
    QTreeWidget::keyReleaseEvent(event);
    emit KeyReleased();
}

void DeviceListView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}
