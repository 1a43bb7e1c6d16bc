#include "instruments/AlicatReplies.h"

#include "core/NumberText.h"

QStringList AlicatFields(const QString& reply)
{
    QStringList fields;
    QString field;
    for (QChar c : reply) {
        if (c.unicode() <= 0x20) {
            if (!field.isEmpty())
                fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty())
        fields << field;
    return fields;
}

AlicatStatusLine ParseAlicatStatusLine(const QString& reply)
{
    constexpr qsizetype kFixedNumbers = 5;
    AlicatStatusLine line;
    const QStringList fields = AlicatFields(reply);
    line.FieldCount = int(fields.size());
    if (fields.size() < 7)
        return line;

    for (qsizetype i = 0; i < kFixedNumbers; ++i) {
        if (!TryStrToFloatDot(fields[i + 1], line.Numbers[std::size_t(i)])) {
            line.kind = AlicatStatusLine::Kind::Malformed;
            line.BadField = fields[i + 1];
            return line;
        }
    }
    line.kind = AlicatStatusLine::Kind::Reading;
    qsizetype next = kFixedNumbers + 1;
    double number = 0;
    for (; next < fields.size() && TryStrToFloatDot(fields[next], number); ++next) {
        if (!line.HasTotalizer) {
            line.Numbers[kFixedNumbers] = number;
            line.HasTotalizer = true;
        }
    }
    if (next >= fields.size())
        return line;
    line.GasLabel = fields[next];
    if (next + 1 < fields.size()) {
        line.HasStatusFields = true;
        for (qsizetype i = next + 1; i < fields.size(); ++i) {
            TAlicatError code;
            if (TryAlicatErrorFromName(fields[i], code))
                line.ErrorFlags.Include(code);
        }
    }
    return line;
}

AlicatFullScale ParseAlicatFullScale(const QString& reply)
{
    AlicatFullScale fullScale;
    const QStringList fields = reply.split(u' ');
    if (fields.size() != 4)
        return fullScale;
    fullScale.ValueText = fields[1];
    fullScale.UnitText = fields[3];
    fullScale.kind = TryStrToFloatDot(fields[1], fullScale.Value) ? AlicatFullScale::Kind::Read
                                                                   : AlicatFullScale::Kind::NotANumber;
    return fullScale;
}

bool IsAlicatErrorReply(const QString& reply)
{
    const QStringList fields = AlicatFields(reply);
    return !fields.isEmpty() && fields.size() <= 2 && fields.last() == QStringLiteral("?");
}
