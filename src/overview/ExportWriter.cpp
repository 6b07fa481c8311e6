#include "ExportWriter.h"

#include "engine/Connection.h"
#include "engine/QueryCursor.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/ReplacingFile.h"

#include <QStringEncoder>

#include <algorithm>

namespace vantor::overview {

namespace {

constexpr qsizetype FlushChars = 1 << 15;
constexpr qint64 ProgressRows = 2048;

void appendText(QString& line, const QString& text)
{
    const auto breaksLine = [](QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; };
    if (std::none_of(text.cbegin(), text.cend(), breaksLine)) {
        line += text;
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!breaksLine(c)) {
            line += c;
            continue;
        }
        line += u' ';
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
}

// Writes out what was gathered; lines are collected in a buffer so that the
// encoder and the file see large blocks.
class Output
{
public:
    Output(const QString& fileName, const QString& database)
        : m_file(fileName, database), m_encoder(QStringConverter::System)
    {
        m_buffer.reserve(FlushChars + 4096);
    }

    QString& buffer() { return m_buffer; }

    void flushIfFull()
    {
        if (m_buffer.size() >= FlushChars)
            flush();
    }

    void commit()
    {
        flush();
        m_file.commit();
    }

private:
    void flush()
    {
        m_file.write(m_encoder.encode(m_buffer));
        m_buffer.resize(0);
    }

    platform::ReplacingFile m_file; // discards its temporary file unless committed
    QStringEncoder m_encoder;
    QString m_buffer;
};

} // namespace

QString exportSql(const QDate& from, const QDate& to)
{
    return QStringLiteral("SELECT Results.Date, Periods.Period, Tests.Test, Details.Result, "
                          "Details.Unit, Results.Remarks ") +
           QStringLiteral("FROM Tests RIGHT JOIN ((Results INNER JOIN Details ON Results.ID = "
                          "Details.ID) INNER JOIN Periods ON Results.Period = Periods.ID) ON "
                          "Tests.ID = Details.Test ") +
           QStringLiteral("WHERE Results.Date Between ") + platform::sqlDateLiteral(from) +
           QStringLiteral(" AND ") + platform::sqlDateLiteral(to) + QStringLiteral(" ") +
           QStringLiteral("ORDER BY Date, Results.Period, Tests.Test");
}

qint64 writeExport(engine::Connection& connection, const QString& fileName, const QDate& from,
                   const QDate& to, const std::function<bool(const QString& fileName)>& mayReplace,
                   const std::function<bool(double done)>& progress)
{
    engine::QueryCursor rows(connection, exportSql(from, to));
    if (!rows.next())
        throw Error(Error::NoCurrentRecord,
                    QStringLiteral("There are no test values between these dates."));

    platform::refuseDatabaseTarget(fileName, connection.filePath());
    if (mayReplace && !mayReplace(fileName))
        return -1;
    Output out(fileName, connection.filePath());
    QString& line = out.buffer();
    line += QStringLiteral("Date\tPeriod\tTest\tResult\tUnit\tRemarks\r\n");
    // Rows come in date order: the date's text is made once per date.
    QByteArray lastDate;
    QString lastDateText;
    qint64 count = 0;
    qint64 told = 0;
    do {
        if (rows.type(0) == engine::QueryCursor::Type::Text) {
            const QByteArrayView date = rows.utf8(0);
            if (date != lastDate || lastDateText.isNull()) {
                lastDate = date.toByteArray();
                lastDateText = rows.displayText(0);
                if (progress && count - told >= ProgressRows) {
                    // How far along the span this date is.
                    told = count;
                    const QDate at = QDate::fromString(QString::fromLatin1(lastDate), Qt::ISODate);
                    const qint64 span = std::max<qint64>(1, from.daysTo(to));
                    if (!progress(at.isValid() ? double(from.daysTo(at)) / double(span) : 0))
                        return -1; // the file discards its temporary copy
                }
            }
            line += lastDateText;
        } else {
            line += rows.displayText(0);
        }
        line += u'\t';
        appendText(line, rows.displayText(1));
        line += u'\t';
        appendText(line, rows.displayText(2));
        line += u'\t';
        line += rows.displayText(3);
        line += u'\t';
        appendText(line, rows.displayText(4));
        line += u'\t';
        appendText(line, rows.displayText(5));
        line += QLatin1String("\r\n");
        ++count;
        out.flushIfFull();
    } while (rows.next());
    out.commit();
    return count;
}

} // namespace vantor::overview
