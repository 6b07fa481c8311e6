#include "ImportReader.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace vantor::importer {

namespace {

// How much of the file the guesses look at.
constexpr int SampleLines = 50;

bool looksLikeValue(const QString& field)
{
    static const QRegularExpression value(QStringLiteral(
        R"(^\s*([-+]?\d+([.,]\d+)?([eE][-+]?\d+)?|\d{1,4}[-/.]\d{1,2}[-/.]\d{1,4}.*)\s*$)"));
    return value.match(field).hasMatch();
}

QString sample(const QString& text)
{
    qsizetype end = 0;
    for (int n = 0; n < SampleLines && end >= 0; ++n) {
        end = text.indexOf(u'\n', end);
        if (end >= 0)
            ++end;
    }
    return end < 0 ? text : text.left(end);
}

} // namespace

SourceText decodeText(const QByteArray& bytes)
{
    SourceText source;
    // Stateless: a sequence cut off at the end of the file is an error too.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    source.text = utf8.decode(bytes);
    source.encoding = QStringLiteral("UTF-8");
    if (utf8.hasError()) {
        QStringDecoder local(QStringConverter::System, QStringConverter::Flag::Stateless);
        QString text = local.decode(bytes);
        if (local.hasError()) {
            text = QString::fromLatin1(bytes);
            source.encoding = QStringLiteral("ISO-8859-1");
        } else {
            source.encoding = QString::fromUtf8(local.name());
        }
        source.text = text;
    }
    const QStringView heading(ExportHeading);
    source.isExport = source.text.startsWith(heading) && (source.text.size() == heading.size() ||
                                                          source.text[heading.size()] == u'\r' ||
                                                          source.text[heading.size()] == u'\n');
    return source;
}

SourceText readSourceFile(const QString& path)
{
    QFile file(path);
    if (path.trimmed().isEmpty())
        throw Error(Error::FileNotFound, QStringLiteral("No file was chosen."));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(Error::FileNotFound,
                    QStringLiteral("Cannot read the file \"%1\": %2.")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return decodeText(file.readAll());
}

int TextTable::columnCount() const
{
    qsizetype widest = heading.size();
    for (const TextLine& line : lines)
        widest = std::max(widest, line.fields.size());
    return int(widest);
}

QString TextTable::columnName(int column) const
{
    if (hasHeading && column >= 0 && column < heading.size() &&
        !heading[column].trimmed().isEmpty())
        return heading[column].trimmed();
    return QStringLiteral("Column %1").arg(column + 1);
}

TextTable splitText(const QString& text, QChar delimiter, bool hasHeading, bool quoting)
{
    TextTable table;
    table.delimiter = delimiter;
    table.hasHeading = hasHeading;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype pos = 0;
    qint64 lineNumber = 1;
    bool headingTaken = !hasHeading;
    auto atLineEnd = [&](qsizetype p) { return p >= n || s[p] == u'\r' || s[p] == u'\n'; };
    // A byte order mark is no part of the first field.
    if (pos < n && s[pos] == QChar(0xFEFF))
        ++pos;
    while (pos < n) {
        TextLine line;
        line.number = lineNumber;
        for (;;) {
            QString field;
            if (quoting && pos < n && s[pos] == u'"') {
                ++pos;
                while (pos < n) {
                    if (s[pos] == u'"') {
                        if (pos + 1 < n && s[pos + 1] == u'"') {
                            field += u'"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    if (s[pos] == u'\n' ||
                        (s[pos] == u'\r' && (pos + 1 >= n || s[pos + 1] != u'\n')))
                        ++lineNumber;
                    field += s[pos++];
                }
                // Anything after the closing quote still belongs to the field.
                const qsizetype start = pos;
                while (pos < n && s[pos] != delimiter && !atLineEnd(pos))
                    ++pos;
                field += QStringView(s + start, pos - start);
            } else {
                const qsizetype start = pos;
                while (pos < n && s[pos] != delimiter && !atLineEnd(pos))
                    ++pos;
                field = QString(s + start, pos - start);
            }
            line.fields << field;
            if (pos < n && s[pos] == delimiter) {
                ++pos;
                continue;
            }
            break;
        }
        // A CR LF pair ends one line; so does a lone CR or LF.
        if (pos < n && s[pos] == u'\r')
            ++pos;
        if (pos < n && s[pos] == u'\n')
            ++pos;
        ++lineNumber;
        const bool blank = line.fields.size() == 1 && line.fields[0].trimmed().isEmpty();
        if (blank)
            continue;
        if (!headingTaken) {
            table.heading = line.fields;
            headingTaken = true;
            continue;
        }
        table.lines << std::move(line);
    }
    return table;
}

QChar guessDelimiter(const QString& text)
{
    const QString head = sample(text);
    const QChar candidates[] = {u'\t', u';', u','};
    QChar best = u'\t';
    qsizetype bestAgree = -1;
    qsizetype bestFields = 0;
    for (QChar candidate : candidates) {
        const TextTable table = splitText(head, candidate, false);
        QHash<qsizetype, qsizetype> counts;
        for (const TextLine& line : table.lines)
            ++counts[line.fields.size()];
        qsizetype agree = 0;
        qsizetype fields = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.key() > 1 &&
                (it.value() > agree || (it.value() == agree && it.key() > fields))) {
                agree = it.value();
                fields = it.key();
            }
        }
        if (agree > bestAgree || (agree == bestAgree && fields > bestFields)) {
            best = candidate;
            bestAgree = agree;
            bestFields = fields;
        }
    }
    return best;
}

bool guessHeading(const TextTable& table)
{
    if (table.lines.size() < 2)
        return false;
    const QStringList& first = table.lines.first().fields;
    if (std::any_of(first.cbegin(), first.cend(), looksLikeValue))
        return false;
    const auto end = table.lines.cbegin() + std::min<qsizetype>(table.lines.size(), SampleLines);
    return std::any_of(table.lines.cbegin() + 1, end, [](const TextLine& line) {
        return std::any_of(line.fields.cbegin(), line.fields.cend(), looksLikeValue);
    });
}

QString delimiterName(QChar delimiter)
{
    if (delimiter == u'\t')
        return QStringLiteral("tab");
    if (delimiter == u';')
        return QStringLiteral("semicolon");
    if (delimiter == u',')
        return QStringLiteral("comma");
    return QString(delimiter);
}

} // namespace vantor::importer
