#include "ConnectionString.h"

namespace vantor::engine {

namespace {

// Reads a value that may be quoted with '...' or "..." (a doubled quote
// stands for one); an unquoted value runs to the next ';'.
QString readValue(const QString& text, qsizetype& pos)
{
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    if (pos < text.size() && (text.at(pos) == u'\'' || text.at(pos) == u'"')) {
        const QChar quote = text.at(pos++);
        QString value;
        while (pos < text.size()) {
            const QChar c = text.at(pos++);
            if (c == quote) {
                if (pos < text.size() && text.at(pos) == quote) {
                    value += quote;
                    ++pos;
                    continue;
                }
                break;
            }
            value += c;
        }
        while (pos < text.size() && text.at(pos) != u';')
            ++pos;
        return value;
    }
    const qsizetype end = text.indexOf(u';', pos);
    const qsizetype stop = end < 0 ? text.size() : end;
    const QString value = text.mid(pos, stop - pos).trimmed();
    pos = stop;
    return value;
}

} // namespace

bool ConnectionString::isShape() const
{
    return provider.compare(u"MSDataShape", Qt::CaseInsensitive) == 0;
}

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const QString key = text.mid(pos, eq - pos).trimmed().toLower();
        pos = eq + 1;
        const QString value = readValue(text, pos);
        if (pos < text.size() && text.at(pos) == u';')
            ++pos;
        if (key.isEmpty())
            continue;
        result.all.insert(key, value);
        if (key == u"provider")
            result.provider = value;
        else if (key == u"data provider")
            result.dataProvider = value;
        else if (key == u"data source")
            result.dataSource = value;
    }
    return result;
}

} // namespace vantor::engine
