#pragma once
// The control socket's commands: each does what its window action does, through the window's
// own handlers, with their checks, messages, log lines and file writes. A message the action
// would show in a box is collected instead (no one may be at the window), written to the
// message log and returned as the command's error. Every command that acts is logged as
// "remote: <command> <arguments>". The commands know nothing of sockets.
#include "ui/control/ControlProtocol.h"

#include <QJsonArray>
#include <QJsonObject>

class TGUIF;
struct TDeviceInfo;

class ControlCommands {
public:
    explicit ControlCommands(TGUIF& window);

    // Runs a request (any command but subscribe and unsubscribe, which are the connection's)
    // and gives its reply line. Never throws.
    QByteArray Run(const TControlRequest& request);

    // Why the window cannot take a command now: a message box or dialog waiting for the
    // operator, or a search, reset or instrument tool holding the window; empty when it can.
    QString BusyReason() const;

    // A configured device's latest reading as "readings" and the reading events give it.
    static QJsonObject Reading(const TDeviceInfo& device);

    // What a command gives back: data, or the reason it was refused.
    struct TOutcome {
        QJsonObject Data;
        QString Error;
    };

private:
    TOutcome Devices(const QJsonObject& args);
    TOutcome Readings(const QJsonObject& args);
    TOutcome Search(const QJsonObject& args);
    TOutcome Reset(const QJsonObject& args);
    TOutcome Configure(const QJsonObject& args);
    TOutcome Setpoint(const QJsonObject& args);
    TOutcome Stop(const QJsonObject& args);
    TOutcome Program(const QJsonObject& args);
    TOutcome Start(const QJsonObject& args);
    TOutcome Mixture(const QJsonObject& args);
    TOutcome Add(const QJsonObject& args);

    // The ports named by args["ports"], in the device list's order; false with the reason
    // when one is not in the list.
    bool Ports(const QJsonObject& args, QStringList& ports, QString& error) const;
    // The device of args["port"]; false with the reason when it is not in the list.
    bool Device(const QJsonObject& args, TDeviceInfo& device, QString& error) const;
    QJsonArray DeviceList() const;
    // Puts the recipe (and the mixture's name, when given) on the Mixtures page.
    void ShowRecipe(const QJsonObject& args);

    TGUIF& fWindow;
};
