#include "ui/pages/DesignerPage.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

DesignerPage::DesignerPage(QWidget* parent)
    : QWidget(parent)
{
    MixDesignGroupBox = new QGroupBox(QStringLiteral("Time, m"));
    MixDesignGroupBox->setObjectName(QStringLiteral("MixDesignGroupBox"));
    new QHBoxLayout(MixDesignGroupBox);

    ScrollBoxFlow = new QScrollArea;
    ScrollBoxFlow->setObjectName(QStringLiteral("ScrollBoxFlow"));
    ScrollBoxFlow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxFlow->setBackgroundRole(QPalette::Window);
    FlowPanelControls = new QWidget;
    FlowPanelControls->setObjectName(QStringLiteral("FlowPanelControls"));
    auto* rows = new QVBoxLayout(FlowPanelControls);
    rows->setContentsMargins(0, 0, 0, 26);
    rows->addStretch();
    ScrollBoxFlow->setWidget(FlowPanelControls);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MixDesignGroupBox);
    layout->addWidget(ScrollBoxFlow, 1);
}

void DesignerPage::SetTimeUnitLetter(const QString& letter)
{
    MixDesignGroupBox->setTitle(QStringLiteral("Time, ") + letter);
}

void DesignerPage::SizeFlowPanel()
{
    const int scrollBar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    FlowPanelControls->setFixedWidth(std::max(0, ScrollBoxFlow->width() - scrollBar));
}
