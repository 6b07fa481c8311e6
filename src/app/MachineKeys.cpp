#include "MachineKeys.h"

namespace vantor::app {

std::optional<QString> GetKeyValue(const MachineKeys& keys, const QString& keyName,
                                   const QString& valueName)
{
    const std::optional<KeyValue> value = keys.query(keyName, valueName);
    if (!value)
        return std::nullopt;
    switch (value->type) {
    case KeyValue::String: {
        QString text = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(value->data.constData()), value->data.size() / 2);
        const qsizetype nul = text.indexOf(QChar(u'\0'));
        if (nul >= 0)
            text.truncate(nul);
        return text;
    }
    case KeyValue::Number:
        return numberValueText(value->data);
    default:
        return QString();
    }
}

QString numberValueText(const QByteArray& bytes)
{
    // All four bytes count, zeros included: a zero byte is part of the number,
    // not the end of a text.
    quint32 number = 0;
    for (qsizetype i = std::min<qsizetype>(bytes.size(), 4) - 1; i >= 0; --i)
        number = (number << 8) | quint8(bytes.at(i));
    return QString::number(number);
}

} // namespace vantor::app
