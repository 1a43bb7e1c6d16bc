#include "ui/ModalMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {
void ShowBox(const QString& text)
{
    // Without a parent the box is centred on the screen; it blocks until confirmed.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

void Show(const QString& text)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        ShowBox(text);
    else
        QMetaObject::invokeMethod(app, [text] { ShowBox(text); }, Qt::QueuedConnection);
}
}

ModalMessages::ModalMessages()
    : fPrevious(SetMessageHandler(Show))
{
}

ModalMessages::~ModalMessages()
{
    SetMessageHandler(fPrevious);
}
