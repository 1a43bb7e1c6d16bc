#pragma once
// The "Mixtures" tab page: a recipe of device lines evaluated into the mixture they deliver,
// and the adding of that mixture to the devices' segment programs.
#include <QStringList>
#include <QWidget>

class NumberBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class MixturesPage : public QWidget {
    Q_OBJECT
public:
    explicit MixturesPage(QWidget* parent = nullptr);

    // "Time, " and the letter of the displayed time unit in the "Add segments" box; the time
    // typed there is read in that unit (Factor minutes per unit).
    void SetTimeUnit(const QString& Letter, double Factor);

    // Re-evaluates the recipe under the mixture's name into the result memo.
    void MemoMixRecipeChange();
    // Adds the recipe as one segment to the program of every device it names, at the time in
    // the box.
    void ButtonMixSegmentsAddClick();
    // The same at Time_min minutes; the ports whose programs changed.
    QStringList AddMixSegmentsAt(double Time_min);

    // The recipe text with CR LF line ends.
    QString RecipeText() const;

    // The latest evaluation succeeded: "Add" may use the recipe.
    bool MixRecipeValid = false;

    QLabel* LabelMixRecipe = nullptr;
    QPlainTextEdit* MemoMixRecipe = nullptr;
    QLabel* LabelMixResult = nullptr;
    QPlainTextEdit* MemoMixResult = nullptr;
    QLabel* LabelMixtureName = nullptr;
    QLineEdit* EditMixtureName = nullptr;
    QGroupBox* GroupBoxAddSegments = nullptr;
    QLabel* LabelMixSegmentsAddTime = nullptr;
    NumberBox* RtDoubleEditMixSegmentsAddTime = nullptr;
    QLabel* LabelNoteMixture = nullptr;
    QLineEdit* EditNoteMixture = nullptr;
    QPushButton* ButtonMixSegmentsAdd = nullptr;

signals:
    // A line for the message log (MM).
    void LogLine(const QString& line);
    // The segment programs of these devices changed, in order: show them (DeviceDetailsUI).
    void SegmentProgramsChanged(const QStringList& ports);

private:
    double fTimeFactor = 1;
};
