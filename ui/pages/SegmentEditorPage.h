#pragma once
// The "Design segments" tab page: the focused device's segment program as a table of rows,
// the fields of the row being edited, and the start and stop of the selected devices'
// programs. The page keeps the table's rows as the editor's records and shows them; the
// window runs the handlers that involve the devices.
#include "devices/DeviceInfo.h"
#include "ui/pages/SegmentEditor.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

class NumberBox;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class SegmentEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit SegmentEditorPage(QWidget* parent = nullptr);

    // "Start time, " and the letter of the displayed time unit.
    // The time box's caption letter and its limit in that unit (factor: minutes per unit).
    void SetTimeUnit(const QString& letter, double factor);
    // Name or role, instrument and type of the focused device.
    void ShowDeviceLabel(const QString& text);

    // The table's rows, in their order, and the one selected (none when no row is).
    const QList<TSegmentRow>& Rows() const { return fRows; }
    void SetRows(const QList<TSegmentRow>& rows);
    std::optional<int> SelectedRow() const;

    // The editing boxes; ShowBoxes keeps the termination choice.
    TSegmentBoxes Boxes() const;
    void ShowBoxes(const TSegmentBoxes& boxes);

    // ButtonSegmentTypeClick: the caption toggles between "Step" and "Ramp", the icon follows.
    void ButtonSegmentTypeClick();

    // The save and open dialogs of the table's context menu. The default shows the toolkit's
    // dialogs; tests put a stand-in here. An empty answer means cancelled.
    struct TFileRequest {
        bool Save = false;
        QString Folder;
        QString ProposedName; // save only
        QString Filter;
    };
    using FileDialog = std::function<QString(const TFileRequest&)>;
    void SetFileDialog(FileDialog dialog) { fFileDialog = std::move(dialog); }
    QString AskFileName(const TFileRequest& request) const { return fFileDialog(request); }

    QLabel* LabelSelectedDeviceNameRole = nullptr;
    NumberBox* RtDoubleEditSegmentMaxFlow = nullptr;
    QLabel* LabelSpecifiedFlowUnit = nullptr;
    QLabel* LabelSegmentStartTime = nullptr;
    NumberBox* RtDoubleEditSegmentTime = nullptr;
    QLabel* LabelSegmentStartTimeTimeConversions = nullptr;
    NumberBox* RtDoubleEditSegmentFlow = nullptr;
    QLabel* LabelResultingFlowinSpecifiedUnit = nullptr;
    QPushButton* ButtonSegmentType = nullptr;
    QLineEdit* EditNote = nullptr;
    QGroupBox* RadioGroupTermination = nullptr;
    QRadioButton* RadioButtonKeepLastFlow = nullptr;
    QPushButton* ButtonSegmentApply = nullptr;
    QPushButton* ButtonSegmentDelete = nullptr;
    QGroupBox* GroupBoxSelectedDevices = nullptr;
    QPushButton* ButtonSegmentProgramStart = nullptr;
    QPushButton* ButtonSegmentProgramStop = nullptr;
    QTreeWidget* ListViewSegmentProgram = nullptr;
    QMenu* PopupMenuSegmentProgram = nullptr;
    QAction* LoadSegmentProgram2 = nullptr;
    QAction* SaveSegmentProgramAs1 = nullptr;

private:
    void ShowType(const QString& caption);

    QList<TSegmentRow> fRows;
    FileDialog fFileDialog;
};
