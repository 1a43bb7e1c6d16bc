#include "core/NumberText.h"

#include "core/Errors.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

QString DecimalSeparator() { return QLocale().decimalPoint(); }

bool IsPlaceholder(QChar c) { return c == u'0' || c == u'#'; }

// Decimal digits of |value| rounded half away from zero to `decimals` places, split into the
// integer digits (no leading zeros; empty for zero) and exactly `decimals` fraction digits.
void RoundedDigits(double value, int decimals, std::string& integer, std::string& fraction)
{
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    const auto dot = text.find('.');
    integer = text.substr(0, dot);
    fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (int(fraction.size()) > decimals) {
        const bool roundUp = fraction[std::size_t(decimals)] >= '5';
        fraction.resize(std::size_t(decimals));
        if (roundUp) {
            std::string all = integer + fraction;
            int i = int(all.size()) - 1;
            for (; i >= 0; --i) {
                if (all[std::size_t(i)] == '9') {
                    all[std::size_t(i)] = '0';
                } else {
                    ++all[std::size_t(i)];
                    break;
                }
            }
            if (i < 0)
                all.insert(all.begin(), '1');
            integer = all.substr(0, all.size() - std::size_t(decimals));
            fraction = all.substr(all.size() - std::size_t(decimals));
        }
    }
    fraction.resize(std::size_t(decimals), '0');
    const auto firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);
}

} // namespace

QString FormatFloat(const QString& pattern, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    const qsizetype dot = pattern.indexOf(u'.');
    const QString intPattern = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPattern = dot < 0 ? QString() : pattern.mid(dot + 1);

    int fracPlaces = 0;
    int requiredFrac = 0;
    for (QChar c : fracPattern) {
        if (IsPlaceholder(c)) {
            ++fracPlaces;
            if (c == u'0')
                requiredFrac = fracPlaces;
        }
    }
    int intPlaces = 0;
    int requiredInt = 0;
    for (QChar c : intPattern) {
        if (IsPlaceholder(c)) {
            ++intPlaces;
            if (c == u'0' && requiredInt == 0)
                requiredInt = intPlaces; // counted from the left for now
        }
    }
    if (requiredInt > 0)
        requiredInt = intPlaces - requiredInt + 1;

    std::string integer;
    std::string fraction;
    RoundedDigits(value, fracPlaces, integer, fraction);
    while (int(fraction.size()) > requiredFrac && fraction.back() == '0')
        fraction.pop_back();
    if (int(integer.size()) < requiredInt)
        integer.insert(0, std::size_t(requiredInt) - integer.size(), '0');

    // Integer part, right to left; digits beyond the placeholders go in front.
    QString intText;
    int next = int(integer.size()) - 1;
    for (qsizetype i = intPattern.size() - 1; i >= 0; --i) {
        const QChar c = intPattern[i];
        if (IsPlaceholder(c)) {
            if (next >= 0)
                intText.prepend(QChar(integer[std::size_t(next--)]));
        } else if (next >= 0) {
            intText.prepend(c);
        }
    }
    if (next >= 0)
        intText.prepend(QString::fromLatin1(integer.data(), next + 1));

    QString fracText;
    int used = 0;
    for (QChar c : fracPattern) {
        if (used >= int(fraction.size()))
            break;
        if (IsPlaceholder(c))
            fracText += QChar(fraction[std::size_t(used++)]);
        else
            fracText += c;
    }

    QString text = intText;
    if (!fracText.isEmpty())
        text += DecimalSeparator() + fracText;
    const bool nonZero = integer.find_first_not_of('0') != std::string::npos
                         || fraction.find_first_not_of('0') != std::string::npos;
    if (value < 0 && nonZero)
        text.prepend(u'-');
    return text;
}

namespace {
QString GeneralForm(double value, const QString& separator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    // Fifteen significant digits read back as a double that writes the same digits, except
    // next to the largest finite values, where rounding to fifteen digits passes the largest
    // double and would read back as out of range: those get 17 digits, which read back as
    // exactly the value written.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    double readBack = 0;
    const auto read = std::from_chars(buffer, buffer + std::strlen(buffer), readBack);
    if (read.ec != std::errc() || !std::isfinite(readBack))
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
    QString text = QString::fromLatin1(buffer);
    const qsizetype e = text.indexOf(u'e');
    QString mantissa = e < 0 ? text : text.left(e);
    QString exponent;
    if (e >= 0)
        exponent = QStringLiteral("E") + QString::number(text.mid(e + 1).toInt());
    mantissa.replace(u'.', separator);
    return mantissa + exponent;
}
}

QString FloatToStr(double value) { return GeneralForm(value, DecimalSeparator()); }

QString FloatToStrDot(double value) { return GeneralForm(value, QStringLiteral(".")); }

bool TryStrToFloatDot(const QString& text, double& value)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString trimmed = text.trimmed();
    if (!number.match(trimmed).hasMatch())
        return false;
    const std::string s = trimmed.toStdString();
    const char* begin = s.data();
    if (*begin == '+')
        ++begin;
    double parsed = 0;
    auto result = std::from_chars(begin, s.data() + s.size(), parsed);
    if (result.ec != std::errc() || result.ptr != s.data() + s.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

double StrToFloatDot(const QString& text)
{
    double value = 0;
    if (!TryStrToFloatDot(text, value))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

double StrToFloatAnySep(const QString& text)
{
    QString dotted = text;
    dotted.replace(u',', u'.');
    double value = 0;
    if (!TryStrToFloatDot(dotted, value))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

bool TryStrToFloatLocale(const QString& text, double& value)
{
    QString dotted = text.trimmed();
    const QString separator = DecimalSeparator();
    if (separator != QStringLiteral(".")) {
        if (dotted.contains(u'.'))
            return false;
        dotted.replace(separator, QStringLiteral("."));
    }
    return TryStrToFloatDot(dotted, value);
}
