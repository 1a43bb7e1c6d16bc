#include "ui/pages/SegmentEditorPage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

SegmentEditorPage::SegmentEditorPage(QWidget* parent)
    : QWidget(parent)
{
    LabelSelectedDeviceNameRole = new QLabel(QStringLiteral("Name or role"));
    LabelSelectedDeviceNameRole->setObjectName(QStringLiteral("LabelSelectedDeviceNameRole"));
    LabelSegmentStartTime = new QLabel(QStringLiteral("Start time, m"));
    LabelSegmentStartTime->setObjectName(QStringLiteral("LabelSegmentStartTime"));

    ListViewSegmentProgram = new QTreeWidget;
    ListViewSegmentProgram->setObjectName(QStringLiteral("ListViewSegmentProgram"));
    ListViewSegmentProgram->setHeaderLabels(
        {QStringLiteral("Time, m"), QStringLiteral("Flow, %"), QStringLiteral("Type"), QStringLiteral("Note")});
    ListViewSegmentProgram->setRootIsDecorated(false);
    ListViewSegmentProgram->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewSegmentProgram->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewSegmentProgram->header()->setSectionsClickable(false);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Selected device"), LabelSelectedDeviceNameRole);
    fields->addRow(LabelSegmentStartTime);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(ListViewSegmentProgram, 1);
}

void SegmentEditorPage::SetTimeUnitLetter(const QString& letter)
{
    LabelSegmentStartTime->setText(QStringLiteral("Start time, ") + letter);
}

void SegmentEditorPage::ShowDevice(const TDeviceInfo& device)
{
    LabelSelectedDeviceNameRole->setText(device.NameRole + u' ' + DeviceInstrumentName(device.DevType) + u' '
                                         + DeviceTypeName(device.DevType));
}
