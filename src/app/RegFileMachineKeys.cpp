#include "RegFileMachineKeys.h"

#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

namespace vantor::app {

namespace {

QString normalKey(QString key)
{
    key = key.trimmed();
    for (const QString& root : {QStringLiteral("HKEY_LOCAL_MACHINE\\"), QStringLiteral("HKLM\\")}) {
        if (key.startsWith(root, Qt::CaseInsensitive))
            key = key.mid(root.size());
    }
    while (key.endsWith(u'\\'))
        key.chop(1);
    return key;
}

// A "quoted" text with \\ and \" escapes; `pos` moves past the closing quote.
std::optional<QString> readQuoted(const QString& line, qsizetype& pos)
{
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == u'"') {
            ++pos;
            return text;
        }
        if (c == u'\\' && pos + 1 < line.size())
            text += line.at(++pos);
        else
            text += c;
    }
    return std::nullopt;
}

KeyValue stringValue(const QString& text)
{
    return {KeyValue::String,
            QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)};
}

std::optional<KeyValue> parseValue(const QString& text)
{
    if (text.startsWith(u'"')) {
        qsizetype pos = 0;
        const std::optional<QString> quoted = readQuoted(text, pos);
        if (!quoted)
            return std::nullopt;
        return stringValue(*quoted);
    }
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        bool ok = false;
        const quint32 number = text.mid(6).trimmed().toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        QByteArray bytes;
        for (int i = 0; i < 4; ++i)
            bytes.append(char((number >> (8 * i)) & 0xff));
        return KeyValue{KeyValue::Number, bytes};
    }
    return stringValue(text);
}

} // namespace

RegFileMachineKeys::RegFileMachineKeys(QString filePath) : m_filePath(std::move(filePath)) {}

std::optional<KeyValue> RegFileMachineKeys::query(const QString& keyName,
                                                  const QString& valueName) const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QString wantedKey = normalKey(keyName);
    QTextStream in(&file);
    bool inKey = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.lastIndexOf(u']');
            inKey = close > 0 &&
                    normalKey(line.mid(1, close - 1)).compare(wantedKey, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey)
            continue;
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'"')) {
            const std::optional<QString> quoted = readQuoted(line, pos);
            if (!quoted)
                continue;
            name = *quoted;
            while (pos < line.size() && line.at(pos).isSpace())
                ++pos;
            if (pos >= line.size() || line.at(pos) != u'=')
                continue;
        } else {
            pos = line.indexOf(u'=');
            if (pos < 0)
                continue;
            name = line.left(pos).trimmed();
        }
        if (name.compare(valueName, Qt::CaseInsensitive) == 0)
            return parseValue(line.mid(pos + 1).trimmed());
    }
    return std::nullopt;
}

QString RegFileMachineKeys::defaultFilePath()
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString folder = QStringLiteral("/etc/xdg");
    for (const QString& location :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        if (location != user) {
            folder = location;
            break;
        }
    }
    return folder + QStringLiteral("/Vantor/machine.reg");
}

#if !defined(Q_OS_WIN)
std::unique_ptr<MachineKeys> MachineKeys::system()
{
    return std::make_unique<RegFileMachineKeys>(RegFileMachineKeys::defaultFilePath());
}
#endif

} // namespace vantor::app
