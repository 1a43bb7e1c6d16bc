#include "core/TextTables.h"

#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/NumberText.h"
#include "core/SegmentProgram.h"

#include <QLocale>
#include <QTime>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace {
QString FirstCommaToPoint(QString text)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    return text;
}
}

QString PadRight(const QString& text, int n)
{
    if (n <= 0)
        return {};
    return FirstCommaToPoint((text + QString(n, u' ')).left(n));
}

QString PadLeft(const QString& text, int n, bool commaToPoint)
{
    if (n <= 0)
        return {};
    const QString padded = (QString(n, u' ') + text).right(n);
    return commaToPoint ? FirstCommaToPoint(padded) : padded;
}

QString PadLeftNumber(const QString& number, int n)
{
    return number.size() > n ? number : PadLeft(number, n);
}

QString NthField(const QString& text, QChar separator, int n)
{
    if (n < 1)
        return {};
    const QStringList fields = text.split(separator);
    return n <= fields.size() ? fields[n - 1] : QString();
}

QString TrimBlanksAndControls(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

namespace {
// The locale writes its own separator between hours and minutes; it is taken from the
// locale's short time format, the colon where that format has no plain separator.
QString TimeSeparator()
{
    const QString format = QLocale().timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < format.size() && format[i] != u'h' && format[i] != u'H')
        ++i;
    while (i < format.size() && (format[i] == u'h' || format[i] == u'H'))
        ++i;
    if (i < format.size() && !format[i].isLetterOrNumber() && !format[i].isSpace() && format[i] != u'\'')
        return QString(format[i]);
    return QStringLiteral(":");
}

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }
}

QString LogTimeStamp()
{
    const QTime now = ClockNow().time();
    const QString separator = TimeSeparator();
    return TwoDigits(now.hour()) + separator + TwoDigits(now.minute()) + separator + TwoDigits(now.second())
           + separator + QStringLiteral("%1").arg(now.msec(), 3, 10, QLatin1Char('0')) + u' ';
}

QString TimeText(int mode, double minutes)
{
    const double days = std::floor(minutes / MinutesPerDay);
    const double hours = std::floor((minutes - days * MinutesPerDay) / 60);
    const double rest = minutes - days * MinutesPerDay - hours * 60;
    const double whole = std::floor(rest);
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double seconds = std::nearbyint((rest - whole) * 60);

    QString text;
    if (mode == 0) {
        text = FloatToStr(days) + (days == 1 ? QStringLiteral(" day, ") : QStringLiteral(" days, "))
               + FloatToStr(hours) + (hours == 1 ? QStringLiteral(" hour, ") : QStringLiteral(" hours, "))
               + FloatToStr(rest) + (rest == 1 ? QStringLiteral(" minute, ") : QStringLiteral(" minutes, "));
        text.chop(2);
    } else if (mode == 1) {
        const std::pair<double, const char*> parts[] = {{days, "d "}, {hours, "h "}, {whole, "m "}, {seconds, "s "}};
        for (const auto& [value, unit] : parts)
            if (value > 0)
                text += FloatToStr(value) + QLatin1String(unit);
        text.chop(1);
    }
    return text;
}

namespace {

struct TableDevice {
    QString header; // "port type" cell
    QString program;
};

// One shown point: a device's setpoint and type at one whole second.
struct TablePoint {
    QString setpoint;
    QString type;
};

const QString EmptyDeviceCell = QString(14, u' ') + QStringLiteral(" | ");
const QString LineBreak = QStringLiteral("\r\n");

TableDevice ReadTableDevice(const QString& line)
{
    const qsizetype first = line.indexOf(u'|');
    const qsizetype second = first < 0 ? -1 : line.indexOf(u'|', first + 1);
    const QString port = first < 0 ? line : line.left(first);
    const QString typeName = first < 0 ? QString() : line.mid(first + 1, second < 0 ? -1 : second - first - 1);
    return {PadLeft(port + u' ' + typeName, 14), second < 0 ? QString() : line.mid(second + 1)};
}

} // namespace

QString MergedSegmentTable(const QStringList& list)
{
    if (list.size() < 3)
        return QStringLiteral("No segment programs to format");
    const QString unit = list[0];
    if (unit.isEmpty())
        return QStringLiteral("Time unit name not provided");
    double minutesPerUnit = 0;
    // A factor of zero or less cannot scale a time axis either.
    if (!TryStrToFloatLocale(list[1], minutesPerUnit) || !(minutesPerUnit > 0))
        return QStringLiteral("Time conversion factor not provided");

    QList<TableDevice> devices;
    for (qsizetype i = 2; i < list.size(); ++i)
        devices << ReadTableDevice(list[i]);
    const qsizetype deviceCount = devices.size();

    // Whole seconds, rounded half to even, to one cell per device; a later point of the same
    // device in the same second replaces the earlier one.
    std::map<double, QList<std::optional<TablePoint>>> rows;
    for (qsizetype d = 0; d < deviceCount; ++d) {
        for (const TSegment& point : ReadSegments(devices[d].program)) {
            auto& cells = rows[std::nearbyint(point.Time * 60)];
            cells.resize(deviceCount);
            cells[d] = TablePoint{FloatToStr(point.Setpoint), point.aType};
        }
    }

    QString table = PadLeft(QStringLiteral("Time,") + unit, 8) + QStringLiteral(" | ")
                    + PadLeft(QStringLiteral("Time"), 15) + QStringLiteral(" | ");
    for (const TableDevice& device : devices)
        table += device.header + QStringLiteral(" | ");
    table += LineBreak + QStringLiteral("---------+-") + QStringLiteral("----------------+-")
             + QStringLiteral("Setpoint--Type-+-").repeated(deviceCount) + LineBreak;

    const bool unitShown = unit == u"m" || unit == u"h" || unit == u"d";
    for (const auto& [seconds, cells] : rows) {
        if (unitShown)
            table += PadLeftNumber(FormatFloat(QStringLiteral("0.000"), seconds / 60 / minutesPerUnit), 8);
        table += QStringLiteral(" | ") + PadLeftNumber(TimeText(1, seconds / 60), 15) + QStringLiteral(" | ");
        for (const std::optional<TablePoint>& cell : cells)
            table += cell ? PadLeftNumber(cell->setpoint, 8) + u' ' + PadLeft(cell->type, 5) + QStringLiteral(" | ")
                          : EmptyDeviceCell;
        table += LineBreak;
    }
    return table;
}
