// The main window's side of the control socket: opening and closing it, and passing the
// engine tick's readings on to subscribed clients.
#include "ui/MainWindow.h"

#include "core/UserMessages.h"
#include "ui/control/ControlCommands.h"
#include "ui/control/ControlServer.h"

#include <QAction>
#include <QLabel>

void TGUIF::SetControlSocketOpen(bool open)
{
    if (!open) {
        CloseControlSocket();
        return;
    }
    QString path;
    QString error;
    if (!ControlServer::DefaultPath(path, error)) {
        fControlSocket->setChecked(false);
        ShowMessage(error);
        return;
    }
    OpenControlSocket(path);
}

bool TGUIF::OpenControlSocket(const QString& path)
{
    CloseControlSocket();
    if (!fControlCommands)
        fControlCommands = std::make_unique<ControlCommands>(*this);
    auto server = std::make_unique<ControlServer>(
        [this](const TControlRequest& request) { return fControlCommands->Run(request); },
        [this] { return fControlCommands->BusyReason(); });
    QString error;
    if (!server->Listen(path, error)) {
        fControlSocket->setChecked(false);
        ShowMessage(error);
        return false;
    }
    fControlServer = std::move(server);
    fControlSocket->setChecked(true);
    MM(QStringLiteral("Control socket: ") + path);
    fControlSocketText->setText(QStringLiteral("Control socket: ") + path);
    fControlSocketText->show();
    return true;
}

void TGUIF::CloseControlSocket()
{
    if (!fControlServer)
        return;
    fControlServer.reset();
    fControlSocket->setChecked(false);
    fControlSocketText->clear();
    fControlSocketText->hide();
    MM(QStringLiteral("Control socket closed"));
}

void TGUIF::NewReading(const TDeviceInfo& device)
{
    if (fControlServer && fControlServer->HasSubscribers())
        fControlServer->Broadcast(ControlEventLine(QStringLiteral("reading"), ControlCommands::Reading(device)));
}
