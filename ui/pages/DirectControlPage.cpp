#include "ui/pages/DirectControlPage.h"

#include <QVBoxLayout>

DirectControlPage::DirectControlPage(QWidget* parent)
    : QWidget(parent)
{
    new QVBoxLayout(this);
}
