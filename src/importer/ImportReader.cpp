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

namespace {

// Reads delimited fields line by line; a quoted field may hold delimiters,
// doubled quotes and line breaks.
class FieldReader
{
public:
    FieldReader(const QString& text, QChar delimiter, bool quoting)
        : m_s(text.constData()), m_n(text.size()), m_delimiter(delimiter), m_quoting(quoting)
    {
        // A byte order mark is no part of the first field.
        if (m_pos < m_n && m_s[m_pos] == QChar(0xFEFF))
            ++m_pos;
    }

    bool atEnd() const { return m_pos >= m_n; }
    TextLine readLine();

private:
    bool atLineEnd(qsizetype p) const { return p >= m_n || m_s[p] == u'\r' || m_s[p] == u'\n'; }
    QString readField();
    QString readQuoted();
    // The text from here to the next delimiter or line end.
    QStringView readPlain()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_n && m_s[m_pos] != m_delimiter && !atLineEnd(m_pos))
            ++m_pos;
        return QStringView(m_s + start, m_pos - start);
    }

    const QChar* m_s;
    qsizetype m_n;
    QChar m_delimiter;
    bool m_quoting;
    qsizetype m_pos = 0;
    qint64 m_lineNumber = 1;
};

QString FieldReader::readQuoted()
{
    QString field;
    ++m_pos;
    while (m_pos < m_n) {
        if (m_s[m_pos] == u'"') {
            if (m_pos + 1 < m_n && m_s[m_pos + 1] == u'"') {
                field += u'"';
                m_pos += 2;
                continue;
            }
            ++m_pos;
            break;
        }
        if (m_s[m_pos] == u'\n' ||
            (m_s[m_pos] == u'\r' && (m_pos + 1 >= m_n || m_s[m_pos + 1] != u'\n')))
            ++m_lineNumber;
        field += m_s[m_pos++];
    }
    // Anything after the closing quote still belongs to the field.
    field += readPlain();
    return field;
}

QString FieldReader::readField()
{
    if (m_quoting && m_pos < m_n && m_s[m_pos] == u'"')
        return readQuoted();
    return readPlain().toString();
}

TextLine FieldReader::readLine()
{
    TextLine line;
    line.number = m_lineNumber;
    for (;;) {
        line.fields << readField();
        if (m_pos < m_n && m_s[m_pos] == m_delimiter) {
            ++m_pos;
            continue;
        }
        break;
    }
    // A CR LF pair ends one line; so does a lone CR or LF.
    if (m_pos < m_n && m_s[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_n && m_s[m_pos] == u'\n')
        ++m_pos;
    ++m_lineNumber;
    return line;
}

} // namespace

TextTable splitText(const QString& text, QChar delimiter, bool hasHeading, bool quoting)
{
    TextTable table;
    table.delimiter = delimiter;
    table.hasHeading = hasHeading;
    bool headingTaken = !hasHeading;
    FieldReader reader(text, delimiter, quoting);
    while (!reader.atEnd()) {
        TextLine line = reader.readLine();
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
