// Number texts under a point and a comma locale: the readers (point only, either separator,
// the user's locale) and the writers (the general form and patterns). Whatever is read is a
// finite number, and whatever is written reads back as the number written.
#include "FuzzSupport.h"

#include "core/Errors.h"
#include "core/NumberText.h"

#include <cmath>
#include <cstring>

namespace {

// The general form written reads back, under the same locale, as a number whose general form
// is the same text, within the fifteen digits it keeps.
void CheckGeneralForm(double value)
{
    if (!std::isfinite(value))
        return;
    const QString text = FloatToStr(value);
    double read = 0;
    FUZZ_CHECK(TryStrToFloatLocale(text, read), text);
    FUZZ_CHECK(FloatToStr(read) == text, text);
    FUZZ_CHECK(std::fabs(read - value) <= std::fabs(value) * 1e-14, text);
    const QString dotted = FloatToStrDot(value);
    FUZZ_CHECK(TryStrToFloatDot(dotted, read) && FloatToStrDot(read) == dotted, dotted);
}

// A pattern without literals reads back within half its last decimal place.
void CheckPattern(const QString& pattern, int decimals, double value)
{
    if (!std::isfinite(value))
        return;
    const QString text = FormatFloat(pattern, value);
    double read = 0;
    FUZZ_CHECK(TryStrToFloatLocale(text, read) || text.isEmpty() || text.startsWith(QLocale().decimalPoint()), text);
    if (!TryStrToFloatLocale(text, read))
        return;
    const double halfStep = 0.5 * std::pow(10.0, -decimals);
    FUZZ_CHECK(std::fabs(read - value) <= halfStep * (1 + 1e-9) + std::fabs(value) * 1e-15,
               QStringLiteral("%1 by %2 gave %3").arg(value, 0, 'g', 17).arg(pattern, text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    std::uint8_t options = 0;
    if (!TakeOptionsByte(data, size, options))
        return 0;
    UseLocale(options & 1);

    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    double value = 0;
    if (TryStrToFloatDot(text, value)) {
        FUZZ_CHECK(std::isfinite(value), text);
        CheckGeneralForm(value);
    }
    if (TryStrToFloatLocale(text, value)) {
        FUZZ_CHECK(std::isfinite(value), text);
        CheckGeneralForm(value);
    }
    try {
        value = StrToFloatAnySep(text);
        FUZZ_CHECK(std::isfinite(value), text);
    } catch (const ConvertError&) {
    }
    // A pattern the input spells: written without trouble, whatever it holds.
    FUZZ_CHECK(FormatFloat(text.left(40), 1234.5678).size() < 400, text);

    // The input's first eight bytes as a double: every bit pattern, NaN and infinities too.
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckGeneralForm(raw);
        CheckPattern(QStringLiteral("0"), 0, raw);
        CheckPattern(QStringLiteral("0.000"), 3, raw);
        CheckPattern(QStringLiteral("0.0#####"), 6, raw);
        CheckPattern(QStringLiteral("#.#"), 1, raw);
        FUZZ_CHECK(!FormatFloat(QStringLiteral("# ### ##0.000 000"), raw).isEmpty(), FloatToStr(raw));
    }
    return 0;
}
