#include "ui/DataTableLines.h"

#include "core/NumberText.h"
#include "core/TextTables.h"

namespace {
constexpr int CellWidth = 15;
const QString CellEnd = QStringLiteral(" | ");

QString Cell(const QString& text)
{
    return PadLeft(text, CellWidth) + CellEnd;
}

bool HasWorker(const TDeviceInfo& device)
{
    return device.ThreadMFC || device.ThreadPump;
}
}

QStringList DataTableColumns(const std::vector<TDeviceInfo>& devices)
{
    QString rule = QStringLiteral("---------------------+-");
    QString names = QStringLiteral("-             Device | ");
    QString units = QStringLiteral("-               Unit | ");
    QString gases = QStringLiteral("-                Gas | ");
    const QString undefined = QStringLiteral("Undefined");
    for (const TDeviceInfo& device : devices) {
        rule += QStringLiteral("----------------+-");
        names += Cell(DeviceTypeName(device.DevType));
        units += Cell(HasWorker(device) ? device.FlowUnitUser.Name : undefined);
        gases += Cell(HasWorker(device) ? device.FlowUnitUser.GasName : undefined);
    }
    return {rule, names, units, gases, rule};
}

QString DataRowStamp(const QDateTime& moment)
{
    // The separator the message log's time stamps use ("hh:nn:ss:zzz ").
    const QChar separator = LogTimeStamp().at(2);
    const QString text = moment.toString(QStringLiteral("yyyy-MM-dd hh")) + separator
                         + moment.toString(QStringLiteral("mm")) + separator + moment.toString(QStringLiteral("ss"));
    return PadLeft(text, 20) + CellEnd;
}

QString DataRowCell(double userFlow)
{
    const QString flow = userFlow >= -9999 ? FormatFloat(QStringLiteral("0.0#####"), userFlow) : QStringLiteral("?");
    return PadLeftNumber(flow, CellWidth) + CellEnd;
}
