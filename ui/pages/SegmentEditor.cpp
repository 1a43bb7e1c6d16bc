#include "ui/pages/SegmentEditor.h"

#include "core/NumberText.h"
#include "core/TextTables.h"
#include "core/UserMessages.h"

#include <QFile>
#include <QSaveFile>
#include <QLocale>
#include <algorithm>
#include <limits>

namespace {

// A program file beyond this is no program (a program of a week at one point a minute is
// well under a megabyte); it is refused before it is read into memory.
constexpr qint64 MaximumProgramFileBytes = 16 * 1024 * 1024;

const QString TextFileExtension = QStringLiteral(".txt");

double RowTime(const TSegmentRow& row)
{
    double time = 0;
    return TryStrToFloatDot(row.Caption, time) ? time : std::numeric_limits<double>::infinity();
}

// Stores the rows as the device's program; false when the device is no longer in the list.
bool StoreRows(const QList<TSegmentRow>& rows, TDeviceInfo& device)
{
    device.SegmentProgram = SegmentRowsToText(rows);
    return SetDeviceByPort(device);
}

} // namespace

QString SegmentNumberText(double Value) { return FloatToStrDot(Value); }

bool SegmentRowBefore(const TSegmentRow& Left, const TSegmentRow& Right) { return RowTime(Left) < RowTime(Right); }

void ApplySegmentRow(QList<TSegmentRow>& Rows, const TSegmentBoxes& Boxes, double TimeFactor,
                     const std::optional<TDeviceInfo>& Focused, TDevicePagesWindow& Window)
{
    const double time = Boxes.Time * TimeFactor;
    const QStringList subItems{SegmentNumberText(Boxes.Flow), Boxes.Type, Boxes.Note};
    const auto sameTime = std::find_if(Rows.begin(), Rows.end(), [time](const TSegmentRow& row) {
        double rowTime = 0;
        return TryStrToFloatDot(row.Caption, rowTime) && rowTime == time;
    });
    if (sameTime != Rows.end())
        sameTime->SubItems = subItems;
    else
        Rows << TSegmentRow{SegmentNumberText(time), subItems};
    std::stable_sort(Rows.begin(), Rows.end(), SegmentRowBefore);

    if (!Focused) {
        ShowMessage(QStringLiteral("Could not get assigned device."));
        return;
    }
    TDeviceInfo device = *Focused;
    device.SegmentProgramTermination = Boxes.Termination.value_or(tspttKeep);
    if (!StoreRows(Rows, device)) {
        ShowMessage(QStringLiteral("Saving device segment program failed"));
        return;
    }
    // The stored text is what counts: notes come back as they were cleaned.
    SegmentTextToRows(device.SegmentProgram, Rows);
    Window.ShowDeviceDetails(device);
}

void DeleteSegmentRow(QList<TSegmentRow>& Rows, std::optional<int> SelectedRow,
                      const std::optional<TDeviceInfo>& Focused, TDevicePagesWindow& Window)
{
    if (!SelectedRow || *SelectedRow < 0 || *SelectedRow >= Rows.size())
        return;
    Rows.removeAt(*SelectedRow);
    if (!Focused) {
        ShowMessage(QStringLiteral("Error"));
        return;
    }
    TDeviceInfo device = *Focused;
    // Stored before it is shown: showing stores the device's series in the list, which an
    // older copy written afterwards would drop again.
    const bool stored = StoreRows(Rows, device);
    Window.ShowDeviceDetails(device);
    if (!stored)
        ShowMessage(QStringLiteral("Saving device segment program failed"));
}

std::optional<int> SameSegmentRow(const QList<TSegmentRow>& Rows, const TSegmentRow& Row)
{
    const auto same = std::find_if(Rows.begin(), Rows.end(), [&Row](const TSegmentRow& row) {
        return row.Caption == Row.Caption && row.SubItems == Row.SubItems;
    });
    if (same == Rows.end())
        return std::nullopt;
    return int(same - Rows.begin());
}

QString ToggledSegmentType(const QString& Caption)
{
    return Caption == QStringLiteral("Step") ? QStringLiteral("Ramp") : QStringLiteral("Step");
}

TSegmentBoxes SegmentBoxesForRow(const TSegmentRow& Row, double TimeFactor)
{
    TSegmentBoxes boxes;
    double value = 0;
    boxes.Time = TryStrToFloatDot(Row.Caption, value) ? value / TimeFactor : 0;
    boxes.Flow = TryStrToFloatDot(Row.SubItems.value(0), value) ? value : 0;
    boxes.Type = Row.SubItems.value(1);
    boxes.Note = Row.SubItems.value(2);
    return boxes;
}

QString SegmentTimeConversionsText(double Time, double TimeFactor) { return TimeText(0, Time * TimeFactor); }

QString ProposedSegmentFileName(const TDeviceInfo& Device, const QDateTime& Now)
{
    // A port named by its device path (/dev/ttyUSB0) would turn the name into folders.
    QString port = Device.COMPort;
    if (port.startsWith(u'/'))
        port.remove(0, 1);
    port.replace(u'/', u'_');
    return Now.toString(QStringLiteral("yyyy-MM-dd HH-mm")) + u' ' + port + u' ' + DeviceTypeName(Device.DevType)
           + TextFileExtension;
}

bool SaveSegmentProgram(const TDeviceInfo& Device, const QString& FileName)
{
    // The dialog's filter reads "*.TXT": a name already ending so, in any case, keeps it.
    QString fileName = FileName;
    if (!fileName.endsWith(TextFileExtension, Qt::CaseInsensitive))
        fileName += TextFileExtension;
    QByteArray content;
    for (const QString& line : SegmentProgramLines(TrimBlanksAndControls(Device.SegmentProgram)))
        content += line.toLatin1() + "\r\n";
    // Written whole or not at all: a full disk leaves an older file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        ShowMessage(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
        return false;
    }
    return true;
}

void LoadSegmentProgram(const std::optional<TDeviceInfo>& Focused, const QString& FileName,
                        TDevicePagesWindow& Window)
{
    if (!Focused)
        return;
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, file.errorString()));
        return;
    }
    if (file.size() > MaximumProgramFileBytes) {
        ShowMessage(QStringLiteral("Segment program file too large: ") + FileName);
        Window.MM(QStringLiteral("Invalid segment program"));
        return;
    }
    LoadSegmentProgramText(Focused, QString::fromLatin1(file.readAll()), Window);
}

bool LoadSegmentProgramText(const std::optional<TDeviceInfo>& Focused, const QString& Text, TDevicePagesWindow& Window)
{
    if (!Focused)
        return false;
    const QString candidate = TrimBlanksAndControls(SegmentProgramLines(Text).join(QStringLiteral("\r\n")));
    if (!ValidateSegmentProgram(candidate)) {
        Window.MM(QStringLiteral("Invalid segment program"));
        return false;
    }
    TDeviceInfo device = *Focused;
    device.SegmentProgram = candidate;
    if (!SetDeviceByPort(device)) {
        Window.MM(QStringLiteral("Saving device configuration failed"));
        return false;
    }
    Window.ShowDeviceDetails(device);
    return true;
}
