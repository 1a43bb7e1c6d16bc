#include "core/ColorNames.h"

namespace {

constexpr StandardColor Colors[] = {
    {"Black", 0xFF000000},   {"Maroon", 0xFF800000}, {"Green", 0xFF008000}, {"Olive", 0xFF808000},
    {"Navy", 0xFF000080},    {"Purple", 0xFF800080}, {"Teal", 0xFF008080},  {"Gray", 0xFF808080},
    {"Silver", 0xFFC0C0C0},  {"Red", 0xFFFF0000},    {"Lime", 0xFF00FF00},  {"Yellow", 0xFFFFFF00},
    {"Blue", 0xFF0000FF},    {"Fuchsia", 0xFFFF00FF}, {"Aqua", 0xFF00FFFF}, {"White", 0xFFFFFFFF},
};

constexpr std::uint32_t Opaque = 0xFF000000;

} // namespace

std::span<const StandardColor> StandardColors() { return Colors; }

bool ColorFromText(const QString& text, std::uint32_t& value)
{
    for (const StandardColor& color : Colors) {
        if (text.compare(QLatin1String(color.Name), Qt::CaseInsensitive) == 0) {
            value = color.Value;
            return true;
        }
    }
    if (text.size() != 7 || !text.startsWith(u'#'))
        return false;
    for (QChar c : text.mid(1))
        if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return false;
    value = Opaque | text.mid(1).toUInt(nullptr, 16);
    return true;
}

QString ColorText(std::uint32_t value)
{
    for (const StandardColor& color : Colors)
        if (color.Value == value)
            return QString::fromLatin1(color.Name);
    return u'#' + QString::number(value & ~Opaque, 16).rightJustified(6, u'0').toUpper();
}
