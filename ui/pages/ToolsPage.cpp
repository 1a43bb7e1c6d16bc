#include "ui/pages/ToolsPage.h"

#include <QVBoxLayout>

ToolsPage::ToolsPage(QWidget* parent)
    : QWidget(parent)
{
    new QVBoxLayout(this);
}
