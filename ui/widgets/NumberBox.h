#pragma once
// Numeric edit box: holds a value within limits and shows it with the locale's decimal
// separator. Typing accepts either a comma or a point as separator; a typed number that is out
// of the limits is clamped when editing ends, and text that is no number brings back the value
// from before the editing.
#include <QLineEdit>
#include <limits>

class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberBox(QWidget* parent = nullptr);

    double Value() const { return fValue; }
    // Clamps to the limits; a value that is not finite is ignored.
    void SetValue(double value);

    // A minimum above the maximum raises the maximum with it (and the other way round).
    void SetMinimum(double minimum);
    void SetMaximum(double maximum);
    double Minimum() const { return fMinimum; }
    double Maximum() const { return fMaximum; }

    // Display pattern as for FormatFloat ("0.0##"); empty (the default) shows the shortest
    // general form. The value itself is not rounded to the pattern.
    void SetDisplayPattern(const QString& pattern);
    // Shows at least three decimals and at least this many significant digits (0: as the
    // pattern says), so that a small value such as a full scale of 0.004123 g/min stays
    // readable; trailing zeros are left out.
    void SetSignificantDigits(int digits);

signals:
    // On every change of the value: SetValue, clamping by a limit, a typed number within the
    // limits (already while typing) and the end of editing.
    void ValueChanged(double value);

private:
    void TextEdited(const QString& text);
    void EditingFinished();
    void Store(double value);
    void ShowValue();

    double fValue = 0;
    double fValueBeforeEdit = 0;
    double fMinimum = std::numeric_limits<double>::lowest();
    double fMaximum = std::numeric_limits<double>::max();
    QString fPattern;
    int fSignificantDigits = 0;
    bool fEdited = false; // the text was typed since the value was last shown
};
