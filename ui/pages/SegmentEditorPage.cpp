#include "ui/pages/SegmentEditorPage.h"

#include "core/SegmentProgram.h"
#include "ui/HelpHover.h"
#include "ui/widgets/NumberBox.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

NumberBox* Box(const char* name, double minimum, double maximum)
{
    auto* box = Named(new NumberBox, name);
    box->SetMinimum(minimum);
    box->SetMaximum(maximum);
    return box;
}

QString ToolkitFileDialog(QWidget* parent, const SegmentEditorPage::TFileRequest& request)
{
    if (request.Save)
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Segment Program As"),
                                            request.Folder + u'/' + request.ProposedName, request.Filter);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Load Segment Program"), request.Folder, request.Filter);
}

} // namespace

SegmentEditorPage::SegmentEditorPage(QWidget* parent)
    : QWidget(parent)
    , fFileDialog([this](const TFileRequest& request) { return ToolkitFileDialog(this, request); })
{
    LabelSelectedDeviceNameRole = Named(new QLabel(QStringLiteral("Name or role")), "LabelSelectedDeviceNameRole");
    RtDoubleEditSegmentMaxFlow = Named(new NumberBox, "RtDoubleEditSegmentMaxFlow");
    RtDoubleEditSegmentMaxFlow->setReadOnly(true);
    RtDoubleEditSegmentMaxFlow->SetSignificantDigits(4); // a converted full scale has many digits, a small one few
    LabelSpecifiedFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelSpecifiedFlowUnit");
    LabelSegmentStartTime = Named(new QLabel(QStringLiteral("Start time, m")), "LabelSegmentStartTime");
    RtDoubleEditSegmentTime = Box("RtDoubleEditSegmentTime", 0, SegmentTimeMax_min);
    LabelSegmentStartTimeTimeConversions =
        Named(new QLabel(QStringLiteral("Time conversions")), "LabelSegmentStartTimeTimeConversions");
    RtDoubleEditSegmentFlow = Box("RtDoubleEditSegmentFlow", 0, 100);
    LabelResultingFlowinSpecifiedUnit =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelResultingFlowinSpecifiedUnit");
    // A pump's resulting flow is a long line; wrapped, it leaves the program table its width.
    LabelResultingFlowinSpecifiedUnit->setWordWrap(true);
    ButtonSegmentType = Named(new QPushButton, "ButtonSegmentType");
    ShowType(QStringLiteral("Step"));
    EditNote = Named(new QLineEdit, "EditNote");

    RadioGroupTermination = Named(new QGroupBox(QStringLiteral("Segment program termination type")), "RadioGroupTermination");
    RadioButtonKeepLastFlow = Named(new QRadioButton(QStringLiteral("Keep last flow indefinitely")), "RadioButtonKeepLastFlow");
    (new QVBoxLayout(RadioGroupTermination))->addWidget(RadioButtonKeepLastFlow);
    // The group with its button is one control that reports no pointer movement.
    HelpHover::MarkSilent(RadioGroupTermination);
    HelpHover::MarkSilent(RadioButtonKeepLastFlow);

    ButtonSegmentApply = Named(new QPushButton(QStringLiteral("Add / Apply Segment")), "ButtonSegmentApply");
    ButtonSegmentDelete = Named(new QPushButton(QStringLiteral("Delete segment")), "ButtonSegmentDelete");
    GroupBoxSelectedDevices = Named(new QGroupBox(QStringLiteral("Selected devices")), "GroupBoxSelectedDevices");
    ButtonSegmentProgramStart = Named(new QPushButton(QStringLiteral("Start segment program(s)")), "ButtonSegmentProgramStart");
    ButtonSegmentProgramStop = Named(new QPushButton(QStringLiteral("Stop segment program(s)")), "ButtonSegmentProgramStop");
    auto* runButtons = new QHBoxLayout(GroupBoxSelectedDevices);
    runButtons->addWidget(ButtonSegmentProgramStart);
    runButtons->addWidget(ButtonSegmentProgramStop);

    ListViewSegmentProgram = Named(new QTreeWidget, "ListViewSegmentProgram");
    ListViewSegmentProgram->setHeaderLabels(
        {QStringLiteral("Time, m"), QStringLiteral("Flow, %"), QStringLiteral("Type"), QStringLiteral("Note")});
    ListViewSegmentProgram->setRootIsDecorated(false);
    ListViewSegmentProgram->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewSegmentProgram->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewSegmentProgram->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewSegmentProgram->header()->setSectionsClickable(false);
    ListViewSegmentProgram->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenuSegmentProgram = Named(new QMenu(this), "PopupMenuSegmentProgram");
    LoadSegmentProgram2 = PopupMenuSegmentProgram->addAction(QStringLiteral("Load Segment Program"));
    SaveSegmentProgramAs1 = PopupMenuSegmentProgram->addAction(QStringLiteral("Save Segment Program As"));
    connect(ListViewSegmentProgram, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenuSegmentProgram->popup(ListViewSegmentProgram->viewport()->mapToGlobal(at));
    });
    connect(ButtonSegmentType, &QPushButton::clicked, this, &SegmentEditorPage::ButtonSegmentTypeClick);

    auto* fields = new QGridLayout;
    int row = 0;
    const auto addRow = [&](QWidget* caption, QWidget* field, QWidget* beside) {
        fields->addWidget(caption, row, 0);
        fields->addWidget(field, row, 1);
        if (beside)
            fields->addWidget(beside, row, 2);
        ++row;
    };
    addRow(new QLabel(QStringLiteral("Selected device")), LabelSelectedDeviceNameRole, nullptr);
    addRow(new QLabel(QStringLiteral("Maximum flow")), RtDoubleEditSegmentMaxFlow, LabelSpecifiedFlowUnit);
    addRow(LabelSegmentStartTime, RtDoubleEditSegmentTime, LabelSegmentStartTimeTimeConversions);
    addRow(new QLabel(QStringLiteral("Segment flow, %")), RtDoubleEditSegmentFlow, LabelResultingFlowinSpecifiedUnit);
    addRow(new QLabel(QStringLiteral("Segment type")), ButtonSegmentType, nullptr);
    addRow(new QLabel(QStringLiteral("Note")), EditNote, nullptr);
    fields->setColumnStretch(2, 1);

    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(ButtonSegmentApply);
    editButtons->addWidget(ButtonSegmentDelete);
    editButtons->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(RadioGroupTermination);
    left->addLayout(editButtons);
    left->addWidget(GroupBoxSelectedDevices);
    left->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(ListViewSegmentProgram, 1);
}

void SegmentEditorPage::SetTimeUnit(const QString& letter, double factor)
{
    LabelSegmentStartTime->setText(QStringLiteral("Start time, ") + letter);
    RtDoubleEditSegmentTime->SetMaximum(SegmentTimeMax_min / factor);
}

void SegmentEditorPage::ShowDeviceLabel(const QString& text) { LabelSelectedDeviceNameRole->setText(text); }

void SegmentEditorPage::SetRows(const QList<TSegmentRow>& rows)
{
    fRows = rows;
    ListViewSegmentProgram->clear();
    QList<QTreeWidgetItem*> items;
    for (const TSegmentRow& row : fRows)
        items << new QTreeWidgetItem(QStringList{row.Caption} + row.SubItems);
    ListViewSegmentProgram->addTopLevelItems(items);
}

std::optional<int> SegmentEditorPage::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = ListViewSegmentProgram->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return ListViewSegmentProgram->indexOfTopLevelItem(selected.first());
}

TSegmentBoxes SegmentEditorPage::Boxes() const
{
    TSegmentBoxes boxes;
    boxes.Time = RtDoubleEditSegmentTime->Value();
    boxes.Flow = RtDoubleEditSegmentFlow->Value();
    boxes.Type = ButtonSegmentType->text();
    boxes.Note = EditNote->text();
    if (RadioButtonKeepLastFlow->isChecked())
        boxes.Termination = tspttKeep;
    return boxes;
}

void SegmentEditorPage::ShowBoxes(const TSegmentBoxes& boxes)
{
    RtDoubleEditSegmentTime->SetValue(boxes.Time);
    RtDoubleEditSegmentFlow->SetValue(boxes.Flow);
    ShowType(boxes.Type);
    EditNote->setText(boxes.Note);
}

void SegmentEditorPage::ButtonSegmentTypeClick() { ShowType(ToggledSegmentType(ButtonSegmentType->text())); }

void SegmentEditorPage::ShowType(const QString& caption)
{
    ButtonSegmentType->setText(caption);
    // A rising line for a ramp, a right-angled arrow for a step.
    ButtonSegmentType->setIcon(style()->standardIcon(caption == QStringLiteral("Ramp") ? QStyle::SP_ArrowUp
                                                                                        : QStyle::SP_ArrowRight));
}
