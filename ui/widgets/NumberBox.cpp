#include "ui/widgets/NumberBox.h"

#include "core/NumberText.h"

#include <QValidator>
#include <algorithm>
#include <cmath>

namespace {

// Lets through only characters that can belong to a number; whether the text is a number is
// decided when editing ends, so that the box never holds back its end-of-editing signal.
class NumberCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (const QChar c : input)
            if (!c.isDigit() && !QStringLiteral("+-.,eE ").contains(c))
                return Invalid;
        return Acceptable;
    }
};

bool ReadNumber(const QString& text, double& value)
{
    QString dotted = text.trimmed();
    dotted.replace(u',', u'.');
    return TryStrToFloatDot(dotted, value);
}

// "0.###" widened with optional decimals until the value has the given significant digits.
QString SignificantPattern(double value, int digits)
{
    constexpr int MinimumDecimals = 3;
    constexpr int MaximumDecimals = 15;
    const int magnitude = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(digits - 1 - magnitude, MinimumDecimals, MaximumDecimals);
    return QStringLiteral("0.") + QString(decimals, u'#');
}

} // namespace

NumberBox::NumberBox(QWidget* parent)
    : QLineEdit(parent)
{
    setValidator(new NumberCharacters(this));
    connect(this, &QLineEdit::textEdited, this, &NumberBox::TextEdited);
    connect(this, &QLineEdit::editingFinished, this, &NumberBox::EditingFinished);
    ShowValue();
}

void NumberBox::SetValue(double value)
{
    if (!std::isfinite(value))
        return;
    Store(std::clamp(value, fMinimum, fMaximum));
    ShowValue();
}

void NumberBox::SetMinimum(double minimum)
{
    if (std::isnan(minimum))
        return;
    fMinimum = minimum;
    fMaximum = std::max(fMaximum, minimum);
    SetValue(fValue);
}

void NumberBox::SetMaximum(double maximum)
{
    if (std::isnan(maximum))
        return;
    fMaximum = maximum;
    fMinimum = std::min(fMinimum, maximum);
    SetValue(fValue);
}

void NumberBox::SetDisplayPattern(const QString& pattern)
{
    fPattern = pattern;
    ShowValue();
}

void NumberBox::SetSignificantDigits(int digits)
{
    fSignificantDigits = std::max(0, digits);
    ShowValue();
}

void NumberBox::TextEdited(const QString& text)
{
    if (!fEdited)
        fValueBeforeEdit = fValue;
    fEdited = true;
    double value = 0;
    if (ReadNumber(text, value) && value >= fMinimum && value <= fMaximum)
        Store(value);
}

void NumberBox::EditingFinished()
{
    if (!fEdited)
        return;
    double value = 0;
    Store(ReadNumber(text(), value) ? std::clamp(value, fMinimum, fMaximum) : fValueBeforeEdit);
    ShowValue();
}

void NumberBox::Store(double value)
{
    if (value == fValue)
        return;
    fValue = value;
    emit ValueChanged(fValue);
}

void NumberBox::ShowValue()
{
    if (fSignificantDigits > 0)
        setText(FormatFloat(SignificantPattern(fValue, fSignificantDigits), fValue));
    else
        setText(fPattern.isEmpty() ? FloatToStr(fValue) : FormatFloat(fPattern, fValue));
    fEdited = false;
}
