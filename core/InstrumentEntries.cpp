#include "core/InstrumentEntries.h"

#include "core/ColorNames.h"
#include "core/SegmentProgram.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int MinimumSerialDigits = 4;

constexpr InstrumentKind Kinds[] = {InstrumentKind::MFCA, InstrumentKind::MFCB, InstrumentKind::MFCC,
                                    InstrumentKind::MFCD, InstrumentKind::Pump};

// The colour an entry gets when it names none: the mixer positions' usual ones.
std::uint32_t DefaultColor(InstrumentKind kind)
{
    switch (kind) {
    case InstrumentKind::MFCA: return 0xFFFF0000;
    case InstrumentKind::MFCB: return 0xFF0000FF;
    case InstrumentKind::MFCC: return 0xFF008000;
    case InstrumentKind::MFCD: return 0xFFA52A2A;
    case InstrumentKind::Pump: return 0xFF800080;
    }
    return 0xFF000000;
}

enum class Applies : std::uint8_t { Any, Controller, Pump };

struct FieldRule {
    const char* name;
    Applies applies;
};

constexpr FieldRule Fields[] = {
    {"serial", Applies::Any},          {"type", Applies::Any},           {"name", Applies::Any},
    {"colour", Applies::Any},          {"full_scale_sccm", Applies::Controller}, {"syringe_ul", Applies::Pump},
    {"fluid_temperature_c", Applies::Pump}, {"max_flow_ulpm", Applies::Pump}, {"segment", Applies::Any},
};

const FieldRule* FindField(const QString& name)
{
    for (const FieldRule& field : Fields)
        if (name == QLatin1String(field.name))
            return &field;
    return nullptr;
}

QString FieldList()
{
    QStringList names;
    for (const FieldRule& field : Fields)
        names << QString::fromLatin1(field.name);
    return names.join(QStringLiteral(", "));
}

QString KindList()
{
    QStringList names;
    for (InstrumentKind kind : Kinds)
        names << InstrumentKindName(kind);
    return names.join(QStringLiteral(", "));
}

std::optional<InstrumentKind> KindFromText(const QString& text)
{
    for (InstrumentKind kind : Kinds)
        if (text.compare(InstrumentKindName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    return std::nullopt;
}

// The shortest text that reads back as the same number.
QString NumberText(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// One field line as read, kept until the section ends and its type is known.
struct FieldLine {
    int line = 0;
    QString value;
};

// Collects one section's fields, then checks them together.
class SectionReader {
public:
    SectionReader(int headerLine, std::vector<InstrumentFileError>& errors)
        : fHeader(headerLine), fErrors(errors)
    {
    }

    void Add(int line, const QString& key, const QString& value)
    {
        const FieldRule* rule = FindField(key);
        if (!rule) {
            Error(line, key, QStringLiteral("unknown field (the fields are ") + FieldList() + u')');
            return;
        }
        if (key == QLatin1String("segment")) {
            if (value.isEmpty())
                return;
            // Checked as the segment editor checks a program line, so a device never starts
            // with a program it would refuse.
            const TSegmentLineCheck check = CheckSegmentLine(value);
            if (!check.Findings.isEmpty())
                Error(line, key, QStringLiteral("\"%1\" is no segment line: %2").arg(value, check.Findings.join(QStringLiteral("; "))));
            else
                fSegments << value;
            return;
        }
        if (const auto seen = fFields.constFind(key); seen != fFields.constEnd()) {
            Error(line, key, QStringLiteral("given twice (first at line %1)").arg(seen->line));
            return;
        }
        fFields.insert(key, {line, value});
    }

    int SerialLine() const
    {
        const FieldLine* serial = Optional(QStringLiteral("serial"));
        return serial ? serial->line : fHeader;
    }

    // The entry when its fields make one; otherwise the errors say why.
    std::optional<InstrumentEntry> Finish()
    {
        InstrumentEntry entry;
        entry.Line = fHeader;
        entry.Segments = fSegments;

        const FieldLine* serial = Required(QStringLiteral("serial"));
        if (serial) {
            entry.Serial = serial->value;
            if (SerialNumberOf(entry.Serial).size() < MinimumSerialDigits)
                Error(serial->line, QStringLiteral("serial"),
                      QStringLiteral("\"%1\" holds no serial number of at least %2 digits").arg(entry.Serial).arg(MinimumSerialDigits));
        }
        const FieldLine* type = Required(QStringLiteral("type"));
        std::optional<InstrumentKind> kind;
        if (type) {
            kind = KindFromText(type->value);
            if (!kind)
                Error(type->line, QStringLiteral("type"), QStringLiteral("unknown type \"%1\" (the types are %2)").arg(type->value, KindList()));
        }
        if (const FieldLine* name = Optional(QStringLiteral("name")))
            entry.Name = name->value;
        if (!kind)
            return std::nullopt;
        entry.Kind = *kind;

        entry.Color = DefaultColor(entry.Kind);
        if (const FieldLine* colour = Optional(QStringLiteral("colour")); colour && !ColorFromText(colour->value, entry.Color))
            Error(colour->line, QStringLiteral("colour"), QStringLiteral("\"%1\" is no standard colour name and no #RRGGBB").arg(colour->value));

        const Applies own = entry.IsPump() ? Applies::Pump : Applies::Controller;
        for (auto field = fFields.constBegin(); field != fFields.constEnd(); ++field) {
            if (const FieldRule* rule = FindField(field.key()); rule->applies != Applies::Any && rule->applies != own)
                Error(field->line, field.key(), QStringLiteral("not a field of a %1 (%2)").arg(entry.IsPump() ? QStringLiteral("pump") : QStringLiteral("controller"), InstrumentKindName(entry.Kind)));
        }
        if (entry.IsPump()) {
            ReadNumber(QStringLiteral("syringe_ul"), true, false, entry.Syringe_ul);
            ReadNumber(QStringLiteral("fluid_temperature_c"), false, true, entry.FluidTemperatureC);
            ReadNumber(QStringLiteral("max_flow_ulpm"), false, false, entry.MaxFlow_ulpm);
        } else {
            ReadNumber(QStringLiteral("full_scale_sccm"), true, false, entry.FullScale_sccm);
        }
        // A faulty line of the section, found as it was read or here, leaves it without an entry.
        if (fFaults != 0)
            return std::nullopt;
        return entry;
    }

private:
    void Error(int line, const QString& field, const QString& reason)
    {
        fErrors.push_back({line, field, reason});
        ++fFaults;
    }

    const FieldLine* Optional(const QString& key) const
    {
        const auto found = fFields.constFind(key);
        return found == fFields.constEnd() ? nullptr : &*found;
    }

    const FieldLine* Required(const QString& key)
    {
        const FieldLine* field = Optional(key);
        if (!field)
            Error(fHeader, key, QStringLiteral("missing in the entry"));
        return field;
    }

    // A positive number (any finite one when mayBeNegative); required ones must be there.
    void ReadNumber(const QString& key, bool required, bool mayBeNegative, double& value)
    {
        const FieldLine* field = required ? Required(key) : Optional(key);
        if (!field)
            return;
        bool read = false;
        const double number = field->value.toDouble(&read); // always with a point, whatever the locale
        if (!read || !std::isfinite(number) || (!mayBeNegative && number <= 0)) {
            Error(field->line, key, QStringLiteral("\"%1\" is not a %2number").arg(field->value, mayBeNegative ? QString() : QStringLiteral("positive ")));
            return;
        }
        value = number;
    }

    int fHeader;
    std::vector<InstrumentFileError>& fErrors;
    std::size_t fFaults = 0; // errors of this section's own fields
    QHash<QString, FieldLine> fFields;
    QStringList fSegments;
};

} // namespace

QString InstrumentKindName(InstrumentKind kind)
{
    switch (kind) {
    case InstrumentKind::MFCA: return QStringLiteral("MFC-A");
    case InstrumentKind::MFCB: return QStringLiteral("MFC-B");
    case InstrumentKind::MFCC: return QStringLiteral("MFC-C");
    case InstrumentKind::MFCD: return QStringLiteral("MFC-D");
    case InstrumentKind::Pump: return QStringLiteral("Pump");
    }
    return {};
}

QString SerialNumberOf(const QString& serial)
{
    qsizetype end = serial.size();
    while (end > 0 && !serial[end - 1].isDigit())
        --end;
    qsizetype begin = end;
    while (begin > 0 && serial[begin - 1].isDigit())
        --begin;
    return serial.mid(begin, end - begin);
}

bool SerialNumberIn(const QString& serial, const QString& text)
{
    const QString number = SerialNumberOf(serial);
    if (number.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(number); at >= 0; at = text.indexOf(number, at + 1)) {
        const qsizetype after = at + number.size();
        if ((at == 0 || !text[at - 1].isDigit()) && (after == text.size() || !text[after].isDigit()))
            return true;
    }
    return false;
}

InstrumentFileContent ParseInstrumentFile(const QString& text)
{
    InstrumentFileContent content;
    std::vector<InstrumentFileError>& errors = content.Errors;
    std::optional<SectionReader> section;
    QHash<QString, int> serialLines; // serial number -> line of the entry that holds it first

    const auto finishSection = [&] {
        if (!section)
            return;
        std::optional<InstrumentEntry> entry = section->Finish();
        const int serialLine = section->SerialLine();
        section.reset();
        if (!entry)
            return;
        const QString number = SerialNumberOf(entry->Serial);
        if (const auto first = serialLines.constFind(number); first != serialLines.constEnd()) {
            errors.push_back({serialLine, QStringLiteral("serial"),
                              QStringLiteral("serial number %1 is already that of the entry at line %2").arg(number).arg(*first)});
            return;
        }
        serialLines.insert(number, entry->Line);
        content.Entries.push_back(*entry);
    };

    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            finishSection();
            if (line.compare(QLatin1String("[instrument]"), Qt::CaseInsensitive) != 0)
                errors.push_back({lineNumber, line, QStringLiteral("unknown section (each entry starts with [instrument])")});
            else
                section.emplace(lineNumber, errors);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            errors.push_back({lineNumber, line, QStringLiteral("not a \"field = value\" line")});
            continue;
        }
        const QString key = line.left(equals).trimmed().toLower();
        if (!section) {
            errors.push_back({lineNumber, key, QStringLiteral("stands before the first [instrument] line")});
            continue;
        }
        section->Add(lineNumber, key, line.mid(equals + 1).trimmed());
    }
    finishSection();
    std::stable_sort(errors.begin(), errors.end(), [](const InstrumentFileError& a, const InstrumentFileError& b) { return a.Line < b.Line; });
    return content;
}

QString InstrumentEntryText(const InstrumentEntry& entry)
{
    QString text = QStringLiteral("[instrument]\n");
    const auto field = [&text](const char* name, const QString& value) {
        text += QLatin1String(name) + QStringLiteral(" = ") + value + u'\n';
    };
    field("serial", entry.Serial);
    field("type", InstrumentKindName(entry.Kind));
    field("name", entry.Name);
    field("colour", ColorText(entry.Color));
    if (entry.IsPump()) {
        field("syringe_ul", NumberText(entry.Syringe_ul));
        field("fluid_temperature_c", NumberText(entry.FluidTemperatureC));
        field("max_flow_ulpm", NumberText(entry.MaxFlow_ulpm));
    } else {
        field("full_scale_sccm", NumberText(entry.FullScale_sccm));
    }
    for (const QString& segment : entry.Segments)
        field("segment", segment);
    return text;
}

QString InstrumentFileText(const std::vector<InstrumentEntry>& entries)
{
    QString text = QStringLiteral(
        "# The instruments of this laboratory, one [instrument] section each. The device search\n"
        "# configures every instrument it finds from its entry here; an instrument that is not\n"
        "# listed is named in the message log with the entry to add. Edit this file as the lab's\n"
        "# instruments change: the program reads it at start and never writes it again.\n"
        "#\n"
        "#   serial               the serial number the instrument reports (at least four digits;\n"
        "#                        text around the number, such as a model name, is allowed)\n"
        "#   type                 MFC-A, MFC-B, MFC-C, MFC-D (the controller's position in its\n"
        "#                        gas mixer) or Pump (the syringe pump of a humidifier)\n"
        "#   name                 name or role: the instrument set the device belongs to\n"
        "#   colour               a standard colour name (Black, Maroon, Green, Olive, Navy, Purple,\n"
        "#                        Teal, Gray, Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White)\n"
        "#                        or #RRGGBB; optional\n"
        "#   full_scale_sccm      controllers: full scale in standard cm3/min\n"
        "#   syringe_ul           pumps: syringe volume in microlitres\n"
        "#   fluid_temperature_c  pumps, optional (21): temperature of the dosed fluid\n"
        "#   max_flow_ulpm        pumps, optional (1000): full-scale dose rate in microlitres/min\n"
        "#   segment              optional, one line per point of the device's segment program\n"
        "#                        (minutes, percent of full scale, Step or Ramp)\n"
        "#\n"
        "# Numbers are written with a point. Lines that start with # or ; are comments.\n");
    for (const InstrumentEntry& entry : entries)
        text += u'\n' + InstrumentEntryText(entry);
    return text;
}
