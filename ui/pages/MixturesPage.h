#pragma once
// The "Mixtures" tab page: a recipe of device lines evaluated into the mixture they deliver,
// and the adding of that mixture to the devices' segment programs.
#include <QWidget>

class QGroupBox;
class QLabel;

class MixturesPage : public QWidget {
    Q_OBJECT
public:
    explicit MixturesPage(QWidget* parent = nullptr);

    // "Time, " and the letter of the displayed time unit in the "Add segments" box.
    void SetTimeUnitLetter(const QString& letter);

    QGroupBox* GroupBoxAddSegments = nullptr;
    QLabel* LabelMixSegmentsAddTime = nullptr;
};
