#include "QueryOutput.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace vantor::tools {

namespace {

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString plainText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return numberText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

} // namespace

QString tabLine(const QVariantList& values)
{
    QStringList fields;
    fields.reserve(values.size());
    for (const QVariant& value : values) {
        QString text = value.isNull() ? QString() : plainText(value);
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\t'), QLatin1String("\\t"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"))
            .replace(QLatin1Char('\r'), QLatin1String("\\r"));
        fields << text;
    }
    return fields.join(QLatin1Char('\t'));
}

QString jsonString(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString jsonValue(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("null");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double: {
        // JSON has no NaN or infinity.
        const double number = value.toDouble();
        return std::isfinite(number) ? numberText(number) : QStringLiteral("null");
    }
    default:
        return jsonString(plainText(value));
    }
}

QString jsonRow(const QStringList& names, const QVariantList& values)
{
    QStringList members;
    members.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        members << jsonString(names[i]) + QLatin1Char(':') + jsonValue(values.value(i));
    return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace vantor::tools
