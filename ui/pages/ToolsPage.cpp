#include "ui/pages/ToolsPage.h"

#include "ui/pages/InstrumentTools.h"
#include "ui/widgets/RichTextLabel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

const char* const NoticeText =
    "These tools apply only to one device at a time. <br><br>"
    "Furthermore, using these will make the device and the software <b>unresponsive</b> until the commanded task "
    "finishes, so these tools are not to be used under normal situations i.e. when segment programs are performing."
    "<br><br>"
    "Instead, use only in a dedicated situation, for setup, maintenance, configuration, debugging or testing.";

} // namespace

ToolsPage::ToolsPage(SelectedDeviceFunction SelectedDevice, TInstrumentToolsWindow& Window, QWidget* parent)
    : QWidget(parent)
    , fSelectedDevice(std::move(SelectedDevice))
    , fWindow(Window)
{
    QStyle* look = style();
    BitBtn11 = Named(new QPushButton(look->standardIcon(QStyle::SP_BrowserReload),
                                     QStringLiteral("Initialize selected device")),
                     "BitBtn11");
    GroupBoxDeviceTools = Named(new QGroupBox(QStringLiteral("Prime pump")), "GroupBoxDeviceTools");
    Label9 = Named(new QLabel(QStringLiteral("Loops")), "Label9");
    RtIntegerEditPrimePumpLoops = Named(new QSpinBox, "RtIntegerEditPrimePumpLoops");
    RtIntegerEditPrimePumpLoops->setRange(PrimePumpLoopsMinimum, PrimePumpLoopsMaximum);
    RtIntegerEditPrimePumpLoops->setValue(PrimePumpLoopsMinimum);
    BitBtn10 = Named(new QPushButton(look->standardIcon(QStyle::SP_MediaSeekForward),
                                     QStringLiteral("Start pump priming loops")),
                     "BitBtn10");
    BitBtn9 = Named(new QPushButton(look->standardIcon(QStyle::SP_ArrowUp), QStringLiteral("Change pump syringe")),
                    "BitBtn9");
    Notice = new RichTextLabel;
    Notice->setFrameShape(QFrame::NoFrame);
    Notice->viewport()->setAutoFillBackground(false);
    Notice->SetRichText(QString::fromLatin1(NoticeText));

    auto* prime = new QGridLayout(GroupBoxDeviceTools);
    prime->addWidget(Label9, 0, 0);
    prime->addWidget(RtIntegerEditPrimePumpLoops, 0, 1);
    prime->addWidget(BitBtn10, 1, 0, 1, 2);
    // From top to bottom: the three tools, then the notice under them.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BitBtn11, 0, Qt::AlignLeft);
    layout->addWidget(GroupBoxDeviceTools, 0, Qt::AlignLeft);
    layout->addWidget(BitBtn9, 0, Qt::AlignLeft);
    layout->addWidget(Notice, 1);

    connect(BitBtn11, &QPushButton::clicked, this, &ToolsPage::ButtonDeviceInitializeClick);
    connect(BitBtn10, &QPushButton::clicked, this, &ToolsPage::ButtonPrimePumpClick);
    connect(BitBtn9, &QPushButton::clicked, this, &ToolsPage::ButtonChangeSyringeClick);
}

void ToolsPage::ButtonDeviceInitializeClick()
{
    InitializeDeviceTool(fSelectedDevice(), fWindow);
}

void ToolsPage::ButtonPrimePumpClick()
{
    PrimePumpTool(fSelectedDevice(), RtIntegerEditPrimePumpLoops->value(), fWindow);
}

void ToolsPage::ButtonChangeSyringeClick()
{
    ChangeSyringeTool(fSelectedDevice(), fWindow);
}
