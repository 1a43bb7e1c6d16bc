#include "ui/pages/MixturesPage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

MixturesPage::MixturesPage(QWidget* parent)
    : QWidget(parent)
{
    GroupBoxAddSegments = new QGroupBox(QStringLiteral("Add segments"));
    GroupBoxAddSegments->setObjectName(QStringLiteral("GroupBoxAddSegments"));
    LabelMixSegmentsAddTime = new QLabel(QStringLiteral("Time, m"));
    LabelMixSegmentsAddTime->setObjectName(QStringLiteral("LabelMixSegmentsAddTime"));
    auto* box = new QFormLayout(GroupBoxAddSegments);
    box->addRow(LabelMixSegmentsAddTime);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBoxAddSegments);
    layout->addStretch();
}

void MixturesPage::SetTimeUnitLetter(const QString& letter)
{
    LabelMixSegmentsAddTime->setText(QStringLiteral("Time, ") + letter);
}
