#pragma once
// The segment program table: the programs of the selected devices merged into one text table
// on a common time axis. It is rebuilt from its inputs; a rebuild keeps the operator's
// selection and scroll position.
#include "devices/DeviceInfo.h"

#include <QPlainTextEdit>
#include <vector>

// The table text for the selected devices (in list order): a title, a rule of 28 "=" and 17
// more per device, and the merged table; empty when nothing is selected or the programs are
// not shown.
QString MergeSegments(bool showSegmentPrograms, const QString& timeUnitLetter, double timeFactor,
                      const std::vector<TDeviceInfo>& selectedDevices);

class SegmentTableView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit SegmentTableView(QWidget* parent = nullptr);

    // Shows the text, keeping the selection and the first visible line where they were.
    void ShowText(const QString& text);
};
