#pragma once
// The workings of the segment program editor: the table of rows (one per segment: time in
// minutes as caption; flow, type and note as sub-items) edited from the page's boxes and
// stored at once as the focused device's program, and the program files. The page owns the
// widgets and the file dialogs and passes their values here.
#include "core/SegmentProgram.h"
#include "devices/DeviceInfo.h"
#include "ui/pages/DevicePagesWindow.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The editor's boxes.
struct TSegmentBoxes {
    double Time = 0;                 // RtDoubleEditSegmentTime, in the displayed time unit
    double Flow = 0;                 // RtDoubleEditSegmentFlow, percent of full scale
    QString Type = QStringLiteral("Step"); // the type button's caption
    QString Note;                    // EditNote
    std::optional<TSegProgTermination> Termination; // the chosen termination; none chosen yet
};

// A number as the table and the program text write it: shortest general form, point.
QString SegmentNumberText(double Value);

// Row order of the table: by the caption's time as a number (ListViewSegmentProgramCompare).
// Captions that are not numbers go last.
bool SegmentRowBefore(const TSegmentRow& Left, const TSegmentRow& Right);

// ButtonSegmentApplyClick: the boxes' segment at Time × TimeFactor minutes replaces the flow,
// type and note of the row at exactly that time, or is added as a row; the rows stay sorted.
// With a focused device the rows become its program ("Saving device segment program failed"
// when it cannot be stored; when stored, the rows are read back from the stored text and the
// device is shown); without one "Could not get assigned device." and the row stays. The table
// shows Rows afterwards.
void ApplySegmentRow(QList<TSegmentRow>& Rows, const TSegmentBoxes& Boxes, double TimeFactor,
                     const std::optional<TDeviceInfo>& Focused, TDevicePagesWindow& Window);

// ButtonSegmentDeleteClick: deletes the selected row (nothing without one) and stores the
// rows as the focused device's program, then shows the device; "Error" without a focused
// device. The table shows Rows afterwards.
void DeleteSegmentRow(QList<TSegmentRow>& Rows, std::optional<int> SelectedRow,
                      const std::optional<TDeviceInfo>& Focused, TDevicePagesWindow& Window);

// Index of the row with the same time, flow, type and note as Row; none when Rows has none.
std::optional<int> SameSegmentRow(const QList<TSegmentRow>& Rows, const TSegmentRow& Row);

// ButtonSegmentTypeClick: "Step" becomes "Ramp", anything else "Step".
QString ToggledSegmentType(const QString& Caption);

// ListViewSegmentProgramChange: the boxes for a chosen row (Termination none: keep the
// choice). A caption that is not a number gives time 0.
TSegmentBoxes SegmentBoxesForRow(const TSegmentRow& Row, double TimeFactor);

// RtDoubleEditSegmentTimeValueChanged: the time box written out in days, hours and minutes.
QString SegmentTimeConversionsText(double Time, double TimeFactor);

// The name the save dialog proposes: "2025-06-13 14-05 COM6 MFC-A.txt".
QString ProposedSegmentFileName(const TDeviceInfo& Device, const QDateTime& Now);

// SaveSegmentProgramAs1Click once a file is chosen: writes the device's program, trimmed, as
// 8-bit text with CR LF after every line, to FileName with ".txt" appended unless it ends so
// already. A file that cannot be written is named to the operator. True when written.
bool SaveSegmentProgram(const TDeviceInfo& Device, const QString& FileName);

// LoadSegmentProgram2Click once a file is chosen: its lines joined with CR LF and trimmed
// become the focused device's program when valid (the validation shows its findings, then
// "Invalid segment program" is logged); the device is then stored and shown, or "Saving
// device configuration failed" logged. Without a focused device nothing happens.
void LoadSegmentProgram(const std::optional<TDeviceInfo>& Focused, const QString& FileName,
                        TDevicePagesWindow& Window);

// The same for a program given as text (its lines ended by CR LF, LF or CR); true when it is
// the device's program now.
bool LoadSegmentProgramText(const std::optional<TDeviceInfo>& Focused, const QString& Text, TDevicePagesWindow& Window);
